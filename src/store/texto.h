#pragma once

#include <QByteArray>
#include <QString>

namespace kv {

// Files that the system reads and writes (reports, listings, import files,
// the messages file, KV000.INI) are Windows-1252 text. Characters that the
// code page cannot hold are written as "?".
QByteArray aCp1252(QStringView texto);
// The same, appended to `destino`.
void anadirCp1252(QByteArray &destino, QStringView texto);
QString desdeCp1252(QByteArrayView bytes);

// The Windows-1252 code of one character (63, "?", when it has none).
int codigoCp1252(QChar c);

// Blanks only, as the Trim of the stored data rules: tabs and line ends stay.
QString recortarBlancos(QStringView texto);

} // namespace kv
