#pragma once

#include <QString>

namespace kv {

// The check of the page boxes of the page-range dialog: the message of the
// first check that fails (empty when they pass) and the pages to preview,
// the leading numbers of the boxes rounded to the nearest integer (halves
// to even).
struct ValidacionRango
{
    QString mensaje;
    int desde = 0;
    int hasta = 0;
    bool valido() const { return mensaje.isEmpty(); }
};

ValidacionRango validarRangoPaginas(const QString &desde, const QString &hasta);

} // namespace kv
