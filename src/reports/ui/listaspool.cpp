#include "listaspool.h"

#include "frmpreview.h"
#include "reports/lectorreporte.h"
#include "store/contexto.h"
#include "store/accesodatos.h"
#include "store/mensajes.h"
#include "store/ui/listas.h"

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
enum Columna { CodRep, Secuencia, Archivo, Fecha, Usuario, Documento };
}

ListaSpool::ListaSpool(Contexto &contexto, FabricaImpresora fabrica, QWidget *padre)
    : QWidget(padre), m_ctx(contexto)
{
    setObjectName(QStringLiteral("ListaSpool"));
    m_modelo = new QSqlQueryModel(this);
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
    cargarModelo(m_modelo, m_ctx.db(),
                 {QStringLiteral("SELECT CodRep, Secuencia, Archivo, Fecha, Usuario, "
                                 "trim(coalesce(CAST(tip_doc_d AS TEXT), '') || ' ' || coalesce(doc_id_d, '')) "
                                 "FROM SPOOL ORDER BY Archivo DESC, Fecha DESC"),
                  {}});
    const QString titulos[] = {QStringLiteral("Código"),  QStringLiteral("Secuencia"), QStringLiteral("Archivo"),
                               QStringLiteral("Fecha"),   QStringLiteral("Usuario"),   QStringLiteral("Documento")};
    for (int i = 0; i < 6; ++i)
        m_modelo->setHeaderData(i, Qt::Horizontal, titulos[i]);
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
