#include "frmconsultas.h"

#include "store/contexto.h"
#include "store/ui/accesible.h"
#include "store/ui/formadepagoqdl.h"
#include "store/ui/listas.h"
#include "store/ui/ventanas.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

FrmConsultas::FrmConsultas(Contexto &contexto, QWidget *padre) : QDialog(padre)
{
    setObjectName(QStringLiteral("FrmConsultas"));
    setWindowTitle(QStringLiteral("Consulta de Bancos"));
    fijarContextoAyuda(this, kContextoAyuda);

    m_modelo = new QSqlQueryModel(this);
    cargarModelo(m_modelo, contexto.db(), ConsultaBancos());
    m_modelo->setHeaderData(0, Qt::Horizontal, QStringLiteral("Código"));
    m_modelo->setHeaderData(1, Qt::Horizontal, QStringLiteral("Banco"));

    m_grdBancos = new QTableView(this);
    m_grdBancos->setObjectName(QStringLiteral("grdBancos"));
    m_grdBancos->setModel(m_modelo);
    m_grdBancos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdBancos->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdBancos->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdBancos->verticalHeader()->setDefaultSectionSize(m_grdBancos->fontMetrics().height() + 6);
    m_grdBancos->verticalHeader()->hide();
    m_grdBancos->horizontalHeader()->setStretchLastSection(true);
    m_grdBancos->setColumnWidth(0, twipsAPixeles(this, 900));
    m_grdBancos->setEnabled(m_modelo->rowCount() > 0);
    nombrarControl(m_grdBancos, QStringLiteral("Bancos"), QStringLiteral("grdBancos"));
    if (m_modelo->rowCount() > 0)
        m_grdBancos->setCurrentIndex(m_modelo->index(0, 0));

    auto *cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    connect(cmdSalir, &QPushButton::clicked, this, &FrmConsultas::salir);
    nombrarControl(cmdSalir, cmdSalir->text(), QStringLiteral("cmdSalir"));

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(cmdSalir);
    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_grdBancos);
    columna->addLayout(botones);
    DimensionarVentana(this, 4140, 7065);
}

bool FrmConsultas::event(QEvent *evento)
{
    if (evento->type() == QEvent::WindowActivate && m_grdBancos->isEnabled())
        m_grdBancos->setFocus();
    return QDialog::event(evento);
}

void FrmConsultas::salir()
{
    m_grdBancos->setModel(nullptr);
    m_modelo->clear();
    accept();
}

} // namespace kv
