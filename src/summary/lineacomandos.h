#pragma once

#include <QString>
#include <QStringList>

namespace kv {

// The submission summary's command line: 36 characters by position, taken
// as they come (no trimming): document type (2), document number (15), form
// (4), period yyyymm (6), a flag (1) and the submission number (8).
struct LineaComandos
{
    static constexpr int kLargo = 36;

    QString tipoDocumento;
    QString numeroDocumento;
    QString formulario;
    QString periodo;
    QString indicador;
    QString numeroEnvio;

    // A shorter line is read as if blanks filled it; `faltantes` gets the
    // names of the fields that were not (wholly) given.
    static LineaComandos leer(const QString &linea, QStringList *faltantes = nullptr);

    // Form + period + flag + submission number, unchanged: the listing's name.
    QString nombreListado() const { return formulario + periodo + indicador + numeroEnvio; }

    // The fields that make up the listing's name and hold anything but
    // letters, digits and blanks (a "/" or a "." would take the name out of
    // the reports folder or onto another report's file), by name. Such a
    // line is refused before anything is written.
    QStringList camposNoValidos() const;
};

} // namespace kv
