#pragma once

#include <QSqlDatabase>

namespace kv {

// Every write of several rows that belong together (a save, a deletion
// cascade, an import, a report-number allocation) runs inside one of these:
// it commits when told to and rolls back when it goes out of scope otherwise.
// An immediate transaction takes the write lock at once, so that two
// programs reading and then writing the same rows wait for each other.
class Transaccion
{
public:
    enum class Modo { Diferida, Inmediata };
    // The advisory lock of immediate transactions on a PostgreSQL server.
    static constexpr int kCerrojo = 517;

    explicit Transaccion(QSqlDatabase db, Modo modo = Modo::Diferida);
    ~Transaccion();
    Transaccion(const Transaccion &) = delete;
    Transaccion &operator=(const Transaccion &) = delete;

    bool iniciada() const { return m_iniciada; }
    bool confirmar();
    void deshacer();

private:
    QSqlDatabase m_db;
    bool m_iniciada = false;
};

} // namespace kv
