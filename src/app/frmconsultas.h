#pragma once

#include <QDialog>

class QPushButton;
class QSqlQueryModel;
class QTableView;

namespace kv {

struct Contexto;

// The banks of the parameter table, for looking up a bank code.
class FrmConsultas : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kContextoAyuda = 1011;

    explicit FrmConsultas(Contexto &contexto, QWidget *padre = nullptr);

    QTableView *grdBancos() const { return m_grdBancos; }
    QSqlQueryModel *modelo() const { return m_modelo; }

protected:
    bool event(QEvent *evento) override;

private:
    void salir();

    QSqlQueryModel *m_modelo;
    QTableView *m_grdBancos;
};

} // namespace kv
