#include "dialogoenvio.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/ui/listas.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlRecord>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

enum Columna { ColRuc, ColNombre, ColPeriodo, ColEstado, ColEnviada, ColCorrelativo };

// Periods are kept as yyyymm and shown as mm/yyyy; the state says whether
// the declaration passed validation when it was last saved; one sent before
// shows the date and correlative of its last submission.
class ModeloEnvio : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &indice, int rol) const override
    {
        const QVariant valor = QSqlQueryModel::data(indice, rol);
        if (rol != Qt::DisplayRole)
            return valor;
        if (indice.column() == ColPeriodo) {
            const QString p = valor.toString();
            return p.size() == 6 ? p.mid(4, 2) + u'/' + p.left(4) : p;
        }
        if (indice.column() == ColEstado)
            return valor.toInt() == 9 ? QStringLiteral("Con inconsistencias") : QStringLiteral("Sin inconsistencias");
        if (indice.column() == ColEnviada)
            return fechaGuardada(valor).isValid() ? QVariant(fechaMostrada(valor)) : QVariant();
        return valor;
    }
};

} // namespace

DialogoEnvio::DialogoEnvio(Contexto &contexto, const ConsultaSql &consulta, QWidget *parent)
    : QDialog(parent)
    , m_modelo(new ModeloEnvio(this))
    , m_grilla(new QTableView)
{
    setWindowTitle(QStringLiteral("Enviar declaración"));
    setObjectName(QStringLiteral("frmEnvio"));

    cargarModelo(m_modelo, contexto.db(), consulta);
    const QStringList cabeceras = {QStringLiteral("RUC"),    QStringLiteral("Razón social"),
                                   QStringLiteral("Periodo"), QStringLiteral("Estado"),
                                   QStringLiteral("Enviada"), QStringLiteral("Correlativo")};
    for (int i = 0; i < cabeceras.size(); ++i)
        m_modelo->setHeaderData(i, Qt::Horizontal, cabeceras.at(i));

    m_grilla->setObjectName(QStringLiteral("grdDeclaraciones"));
    m_grilla->setModel(m_modelo);
    m_grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grilla->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grilla->verticalHeader()->hide();
    m_grilla->resizeColumnsToContents();
    m_grilla->horizontalHeader()->setSectionResizeMode(ColNombre, QHeaderView::Stretch);
    if (m_modelo->rowCount() > 0)
        m_grilla->setCurrentIndex(m_modelo->index(0, ColRuc));

    auto *botones = new QDialogButtonBox;
    QPushButton *enviar = botones->addButton(QStringLiteral("&Enviar"), QDialogButtonBox::AcceptRole);
    botones->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    enviar->setEnabled(m_modelo->rowCount() > 0);
    connect(botones, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_grilla, &QTableView::doubleClicked, this, &QDialog::accept);

    auto *columna = new QVBoxLayout(this);
    columna->addWidget(new QLabel(m_modelo->rowCount() > 0
                                      ? QStringLiteral("Seleccione la declaración grabada que desea enviar :")
                                      : QStringLiteral("No hay declaraciones grabadas del formulario 0517.")));
    columna->addWidget(m_grilla, 1);
    columna->addWidget(botones);
    resize(640, 360);
}

int DialogoEnvio::filas() const { return m_modelo->rowCount(); }

QString DialogoEnvio::ruc() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    return actual.isValid() ? m_modelo->record(actual.row()).value(ColRuc).toString() : QString();
}

QString DialogoEnvio::periodo() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    return actual.isValid() ? m_modelo->record(actual.row()).value(ColPeriodo).toString() : QString();
}

QString DialogoEnvio::enviada() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    return actual.isValid() ? m_modelo->index(actual.row(), ColEnviada).data().toString() : QString();
}

QString DialogoEnvio::correlativo() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    return actual.isValid() ? m_modelo->index(actual.row(), ColCorrelativo).data().toString() : QString();
}

} // namespace kv
