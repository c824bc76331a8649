#pragma once

#include <QList>
#include <QString>

namespace kv {

class AccesoDatos;

// The per-passenger tax rows of parameter entry 966, read once, for work
// that asks for the rate in force on many dates (a grid of flights, an
// import of thousands of lines). Answers exactly as TasaVigente does: the
// amount of the first row, by effective date from the latest down, whose
// trimmed date is not after the one asked for; "0" when there is none.
class TablaTasas
{
public:
    explicit TablaTasas(const AccesoDatos &datos);

    // `fecha` as yyyymmdd.
    QString vigente(const QString &fecha) const;

private:
    struct Fila
    {
        QString fechaRecortada;
        QString tasa;
    };
    QList<Fila> m_filas; // in the order TasaVigente reads them
};

} // namespace kv
