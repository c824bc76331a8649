#pragma once

#include <QDateTime>

namespace kv {

// Today's date and the current time, always asked of one clock so that tests
// can fix them.
class Reloj
{
public:
    virtual ~Reloj() = default;
    virtual QDateTime ahora() const = 0;
    QDate hoy() const { return ahora().date(); }
};

class RelojSistema : public Reloj
{
public:
    QDateTime ahora() const override { return QDateTime::currentDateTime(); }
};

} // namespace kv
