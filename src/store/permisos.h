#pragma once

#include <QString>

namespace kv {

class ArchivoIni;

// The system folder holds taxpayers' names and tax figures: what the
// programs create there (folders, the database and its journal, reports,
// listings, the messages file, backups) is for the user's own account only,
// folders 0700 and files 0600. An office that shares one installation among
// several accounts of a group writes, in section "Options" of KV000.INI,
// Umask=007: what is created is then open to the group too (with the system
// folder given to that group and its set-group-id bit, see README). Other
// accounts are never let in, whatever the key says; files that already exist
// keep their permissions.
constexpr unsigned kMascaraPrivada = 077;

// The mask a value of Umask gives: an octal number; "other" is always
// closed; an empty or unreadable value gives kMascaraPrivada.
unsigned mascaraSegun(const QString &valor);

// Applies the mask to the process: first the private one, at the start of
// every program, then the one KV000.INI gives once it has been read.
void aplicarMascaraPermisos(unsigned mascara = kMascaraPrivada);
void aplicarMascaraPermisos(const ArchivoIni &ini);

} // namespace kv
