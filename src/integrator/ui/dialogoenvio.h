#pragma once

#include <QDialog>

class QSqlQueryModel;
class QTableView;

namespace kv {

struct ConsultaSql;
struct Contexto;

// The saved declarations of form 0517 the user may send, one to choose;
// those sent before show when and under which correlative.
class DialogoEnvio : public QDialog
{
    Q_OBJECT

public:
    DialogoEnvio(Contexto &contexto, const ConsultaSql &consulta, QWidget *parent = nullptr);

    QTableView *grilla() const { return m_grilla; }
    int filas() const;
    // The chosen declaration: RUC and period yyyymm (empty when none).
    QString ruc() const;
    QString periodo() const;
    // The chosen declaration's last submission: date dd/mm/yyyy and
    // correlative, empty when it was never sent.
    QString enviada() const;
    QString correlativo() const;

private:
    QSqlQueryModel *m_modelo;
    QTableView *m_grilla;
};

} // namespace kv
