#pragma once

#include "hojacalculo.h"

#include <QByteArray>
#include <QFile>

namespace kv {

// A CSV file as a spreadsheet program saves it: one row per record, the
// separator a comma, a semicolon or a tab (whichever splits the first
// records into the same number of fields), a field between double quotes
// when it holds the separator, a quote (written twice) or a line break.
// UTF-8, with or without its byte-order mark, or else Windows-1252. The row
// number is the record's: a record with a line break inside quotes is one
// row.
class LectorCsv : public LectorHoja
{
public:
    // The file's bytes, read as needed from a mapping of the file.
    static std::unique_ptr<LectorCsv> abrir(const QString &ruta, QString &error);
    // Bytes already in memory.
    explicit LectorCsv(QByteArray datos);

    bool siguiente(FilaHoja &fila) override;
    qint64 leido() const override { return m_pos; }
    qint64 total() const override { return m_bytes.size(); }

    char separador() const { return m_separador; }
    bool utf8() const { return m_utf8; }

private:
    LectorCsv() = default;
    void preparar(QByteArrayView bytes);
    // Cuts the record at m_pos into `campos` and moves past it; false when
    // a quote is left open.
    bool leerRegistro(QStringList *campos);
    QString decodificar(QByteArrayView bytes) const;

    QFile m_archivo;
    QByteArray m_copia;
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qint64 m_fila = 0;
    char m_separador = ',';
    bool m_utf8 = true;
};

} // namespace kv
