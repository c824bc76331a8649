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

// The system clock. KV_AHORA (an ISO date and time, "2026-12-07T10:30:15")
// fixes it, so that reports made by the programs can be compared byte for
// byte with stored ones.
class RelojSistema : public Reloj
{
public:
    QDateTime ahora() const override
    {
        static const QDateTime fijo =
            QDateTime::fromString(qEnvironmentVariable("KV_AHORA"), Qt::ISODate);
        return fijo.isValid() ? fijo : QDateTime::currentDateTime();
    }
};

} // namespace kv
