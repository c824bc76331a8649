#pragma once

#include <QObject>

namespace kv {

struct Contexto;

// When the database's server goes away (restarted, stopped, the session
// ended by its administrator) the program's session goes with it, and with
// the session the working copies of the declaration being edited. The
// statement that finds it out fails with error 3146; the guard then stands
// before the user's next action (a click, a key, a shortcut): it closes the
// windows of that declaration without offering to save them (their working
// copy is gone: saving now would store an empty one over what is stored),
// opens the connection again with empty working copies and says what
// happened. While the server cannot be reached every action says so and
// tries again. A file database is never lost and the guard does nothing.
class GuardiaConexion : public QObject
{
public:
    explicit GuardiaConexion(Contexto &contexto, QObject *padre = nullptr);

    // Reconnects when the connection is lost. False when it was (the action
    // that asked does not go on).
    bool revisar();

protected:
    bool eventFilter(QObject *objeto, QEvent *evento) override;

private:
    bool cerrarVentanas();

    Contexto &m_ctx;
    bool m_atendiendo = false;
};

} // namespace kv
