#pragma once

#include "store/reloj.h"

namespace kv::prueba {

class RelojFijo : public Reloj
{
public:
    explicit RelojFijo(QDateTime momento = QDateTime(QDate(2026, 12, 7), QTime(10, 30, 15))) : m_momento(momento) {}
    QDateTime ahora() const override { return m_momento; }
    void fijar(QDateTime momento) { m_momento = momento; }

private:
    QDateTime m_momento;
};

} // namespace kv::prueba
