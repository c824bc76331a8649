#pragma once

#include "store/basedatos.h"

#include <QList>
#include <QSqlDatabase>
#include <QString>

namespace kv {

// One row of the host's parameter table, as the host seeds it.
struct FilaParametro
{
    QString numero;
    QString argumento;
    QString funcion;
    QString correl; // Correl_param; empty for the bank and document-type entries
};

// The rows a new host database starts with: banks (entry 004), document
// types (entry 044), the first user and the texts shown after a declaration
// is saved. Rows already present are left as they are.
namespace semilla {

// Entry 004: name in positions 1-36, the short name used by the submission
// summary in 38-49.
QString funcionBanco(const QString &nombre, const QString &nombreCorto);

// Entry 044, 130 positions: description 1-30, short name 32-42, document
// length 46-47, display order 56-57, data type 128 ("5" digits only, "8"
// letters and digits), length kind 130 ("1": the length is fixed).
QString funcionTipoDocumento(const QString &descripcion, const QString &nombreCorto, int largo, int orden,
    QChar tipoDato, bool largoFijo);

// The RUC row, exactly as the module falls back to when the row is missing.
QString funcionRuc();

QList<FilaParametro> bancos();
QList<FilaParametro> tiposDocumento();

struct TextoError
{
    QString codigo;
    QString texto;
};
QList<TextoError> textosError();

// Writes every seed row that is missing, in one transaction, through bound
// values. `usuario` becomes the first user, one who sees every taxpayer.
ErrorBD escribir(QSqlDatabase db, const QString &usuario, const QString &nombreUsuario);

} // namespace semilla
} // namespace kv
