#include "listaspool.h"

#include "frmpreview.h"
#include "reports/lectorreporte.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/accesodatos.h"
#include "store/mensajes.h"
#include "store/ui/listas.h"

#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

// The register's rows and, after them, the period of each report, read
// from its file the first time the row is shown.
class ModeloSpool : public QSqlQueryModel
{
public:
    ModeloSpool(const QString &carpeta, QObject *padre) : QSqlQueryModel(padre), m_carpeta(carpeta) {}

    int columnCount(const QModelIndex &padre = {}) const override
    {
        return padre.isValid() ? 0 : QSqlQueryModel::columnCount() + 1;
    }

    QVariant data(const QModelIndex &indice, int rol) const override
    {
        if (rol == Qt::DisplayRole && indice.column() == ListaSpool::Fecha) {
            // As users write dates, with the time it was made.
            const QVariant valor = QSqlQueryModel::data(indice, rol);
            const QString hora = valor.typeId() == QMetaType::QDateTime
                                     ? valor.toDateTime().toString(QStringLiteral("HH:mm:ss"))
                                     : valor.toString().mid(11, 8);
            return hora.isEmpty() ? fechaMostrada(valor) : fechaMostrada(valor) + u' ' + hora;
        }
        if (rol == Qt::DisplayRole && indice.column() == ListaSpool::Documento) {
            // Document type 6 is the RUC.
            const QString documento = QSqlQueryModel::data(indice, rol).toString();
            return documento.startsWith(QLatin1String("6 ")) ? QStringLiteral("RUC") + documento.mid(1) : documento;
        }
        if (indice.column() != ListaSpool::Periodo)
            return QSqlQueryModel::data(indice, rol);
        if (rol != Qt::DisplayRole)
            return {};
        const QString archivo = QSqlQueryModel::data(index(indice.row(), ListaSpool::Archivo)).toString().trimmed();
        auto it = m_periodos.constFind(archivo);
        if (it == m_periodos.cend())
            it = m_periodos.insert(archivo, periodoDeReporte(m_carpeta + u'/' + archivo));
        return *it;
    }

    QVariant headerData(int seccion, Qt::Orientation o, int rol) const override
    {
        if (o == Qt::Horizontal && seccion == ListaSpool::Periodo)
            return rol == Qt::DisplayRole ? QVariant(QStringLiteral("Periodo")) : QVariant();
        return QSqlQueryModel::headerData(seccion, o, rol);
    }

    void queryChange() override { m_periodos.clear(); }

private:
    QString m_carpeta;
    mutable QHash<QString, QString> m_periodos;
};

} // namespace

ListaSpool::ListaSpool(Contexto &contexto, FabricaImpresora fabrica, QWidget *padre)
    : QWidget(padre), m_ctx(contexto)
{
    setObjectName(QStringLiteral("ListaSpool"));
    m_modelo = new ModeloSpool(m_ctx.sRutaReportes, this);
    m_grilla = new QTableView(this);
    m_grilla->setObjectName(QStringLiteral("grdSpool"));
    m_grilla->setModel(m_modelo);
    m_grilla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grilla->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grilla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grilla->verticalHeader()->hide();
    m_grilla->horizontalHeader()->setStretchLastSection(true);

    m_ver = new QPushButton(QStringLiteral("&Ver"), this);
    m_actualizar = new QPushButton(QStringLiteral("Ac&tualizar"), this);
    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_actualizar);
    botones->addWidget(m_ver);
    auto *principal = new QVBoxLayout(this);
    principal->addWidget(m_grilla, 1);
    principal->addLayout(botones);

    connect(m_ver, &QPushButton::clicked, this, &ListaSpool::verSeleccionado);
    connect(m_actualizar, &QPushButton::clicked, this, &ListaSpool::actualizar);
    connect(m_grilla, &QTableView::activated, this, [this] { verSeleccionado(); });

    abrirReporte = [this, fabrica](const QString &archivo) {
        const int paginas = contarPaginas(m_ctx.sRutaReportes + u'/' + archivo);
        AbrePreview(m_ctx, archivo, QStringLiteral("Vprevia"), paginas, 1, std::max(1, paginas), window(), fabrica);
    };
    actualizar();
}

void ListaSpool::actualizar()
{
    // Newest first: the file numbers grow with every report of any code.
    // The description is the report catalogue's; a code it does not know
    // is listed all the same.
    cargarModelo(m_modelo, m_ctx.db(),
                 {QStringLiteral("SELECT S.CodRep, S.Secuencia, S.Archivo, S.Fecha, S.Usuario, "
                                 "trim(coalesce(CAST(S.tip_doc_d AS TEXT), '') || ' ' || coalesce(S.doc_id_d, '')), "
                                 "coalesce(R.DescRep, ''), coalesce(C.Nombre, '') "
                                 "FROM SPOOL S LEFT JOIN Reportes R ON R.CodRep = S.CodRep "
                                 "LEFT JOIN CONT C ON C.Tip_doc_d = S.tip_doc_d AND C.Doc_id_d = S.doc_id_d "
                                 "ORDER BY S.Archivo DESC, S.Fecha DESC"),
                  {}});
    const QString titulos[] = {QStringLiteral("Código"),  QStringLiteral("Secuencia"), QStringLiteral("Archivo"),
                               QStringLiteral("Fecha"),   QStringLiteral("Usuario"),   QStringLiteral("Documento"),
                               QStringLiteral("Descripción"), QStringLiteral("Contribuyente")};
    for (int i = 0; i < int(std::size(titulos)); ++i)
        m_modelo->setHeaderData(i, Qt::Horizontal, titulos[i]);
    // What a report is comes first: code, description, period, whose, when.
    const Columna orden[] = {CodRep, Descripcion, Periodo, Documento, Contribuyente, Fecha, Usuario, Archivo, Secuencia};
    QHeaderView *cabecera = m_grilla->horizontalHeader();
    for (int visual = 0; visual < int(std::size(orden)); ++visual)
        cabecera->moveSection(cabecera->visualIndex(orden[visual]), visual);
    if (m_modelo->rowCount() > 0)
        m_grilla->selectRow(0);
    m_grilla->resizeColumnsToContents();
    m_ver->setEnabled(m_modelo->rowCount() > 0);
}

int ListaSpool::filas() const
{
    return m_modelo->rowCount();
}

QString ListaSpool::archivoSeleccionado() const
{
    const QModelIndex actual = m_grilla->currentIndex();
    if (!actual.isValid())
        return {};
    return m_modelo->index(actual.row(), Archivo).data().toString().trimmed();
}

void ListaSpool::verSeleccionado()
{
    const QString archivo = archivoSeleccionado();
    if (archivo.isEmpty())
        return;
    if (abrirReporte)
        abrirReporte(archivo);
    Q_EMIT reporteAbierto(archivo);
}

int ListaSpool::contarPaginas(const QString &ruta)
{
    LectorReporte lector;
    if (!lector.abrir(ruta))
        return 0;
    int mayor = -1;
    Registro r;
    while (lector.siguiente(r)) {
        if (r.esDibujo())
            mayor = std::max(mayor, r.hoja);
    }
    return mayor + 1;
}

} // namespace kv
