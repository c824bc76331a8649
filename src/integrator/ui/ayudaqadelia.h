#pragma once

#include <QDialog>

class QTextBrowser;

namespace kv {

struct Contexto;

// The host's own help page: what each menu and tab does, where the data
// lives on this machine (the system folder, the database, KV000.INI) and
// how the database is backed up and restored.
class AyudaQadelia : public QDialog
{
    Q_OBJECT
public:
    AyudaQadelia(const Contexto &contexto, const QString &rutaIni, QWidget *padre = nullptr);

    QTextBrowser *navegador() const { return m_navegador; }

    // The page, with this installation's folders and files written in.
    static QString pagina(const Contexto &contexto, const QString &rutaIni);

private:
    QTextBrowser *m_navegador;
};

} // namespace kv
