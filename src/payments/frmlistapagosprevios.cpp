#include "frmlistapagosprevios.h"

#include "modelopagosprevios.h"
#include "pagoprevio.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/anchotexto.h"
#include "store/ui/listas.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

constexpr int kDigitosTotal = 18;

} // namespace

FrmListaPagosPrevios::FrmListaPagosPrevios(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre)
    : QDialog(padre),
      m_ctx(contexto),
      m_datos(contexto),
      m_lista(m_datos),
      m_sAccion(parametros.accion),
      m_bHistorico(parametros.historico),
      m_periodoMostrado(parametros.periodoMostrado),
      m_devolver(parametros.devolver)
{
    setObjectName(QStringLiteral("frmListaPagosPrevios"));
    setWindowTitle(QStringLiteral("Pagos Previos"));
    const int caracter = fontMetrics().horizontalAdvance(u'0');

    auto *cabecera = new QGridLayout;
    const auto fijo = [&](int fila, const QString &etiqueta, const QString &nombre, int ancho) {
        auto *caja = new QLineEdit(this);
        caja->setReadOnly(true);
        caja->setFixedWidth(caracter * ancho);
        QPalette paleta = caja->palette();
        paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
        caja->setPalette(paleta);
        cabecera->addWidget(new QLabel(etiqueta, this), fila, 0);
        cabecera->addWidget(caja, fila, 1, Qt::AlignLeft);
        nombrarControl(caja, etiqueta, nombre);
        return caja;
    };
    m_mkePeriodo = fijo(0, QStringLiteral("Período :"), QStringLiteral("MkePeriodo"), 10);
    m_mkePeriodo->setInputMask(QStringLiteral("99/9999;_"));
    m_txtTributo = fijo(1, QStringLiteral("Tributo :"), QStringLiteral("txtTributo"), 24);
    m_txtTributo->setText(kTributo);
    cabecera->setColumnStretch(2, 1);

    m_modelo = new ModeloPagosPrevios(this);
    m_grdPagosPrevios = new QTableView(this);
    m_grdPagosPrevios->setModel(m_modelo);
    m_grdPagosPrevios->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdPagosPrevios->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdPagosPrevios->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdPagosPrevios->setTabKeyNavigation(false);
    m_grdPagosPrevios->setWordWrap(false);
    m_grdPagosPrevios->verticalHeader()->hide();
    m_grdPagosPrevios->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_grdPagosPrevios->horizontalHeader()->setStretchLastSection(true);
    connect(m_grdPagosPrevios, &QTableView::doubleClicked, this, [this](const QModelIndex &indice) {
        if (indice.isValid() && !m_bHistorico)
            modificar();
    });

    m_fraPagos = new QGroupBox(QStringLiteral("Pagos Previos Realizados"), this);
    auto *marco = new QVBoxLayout(m_fraPagos);
    marco->addWidget(m_grdPagosPrevios);
    nombrarControl(m_grdPagosPrevios, m_fraPagos->title(), QStringLiteral("grdPagosPrevios"));

    const QString etiquetaTotal = QStringLiteral("Monto Total en Pagos Previos ( S/. ) : ");
    m_txtTotPagosPrevios = new QLineEdit(this);
    m_txtTotPagosPrevios->setReadOnly(true);
    m_txtTotPagosPrevios->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Room for the total of many payments of the largest amount the payment
    // window takes (sixteen digits in soles).
    ajustarAnchoATexto(m_txtTotPagosPrevios, QString(kDigitosTotal, u'9'));
    nombrarControl(m_txtTotPagosPrevios, etiquetaTotal, QStringLiteral("txtTotPagosPrevios"));
    auto *total = new QHBoxLayout;
    total->addStretch(1);
    total->addWidget(new QLabel(etiquetaTotal, this));
    total->addWidget(m_txtTotPagosPrevios);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    const char *const textos[] = {"&Nuevo", "&Modificar", "&Eliminar", "&Salir"};
    for (int i = 0; i < 4; ++i) {
        m_cmdAccion[i] = new QPushButton(QString::fromUtf8(textos[i]), this);
        nombrarControl(m_cmdAccion[i], m_cmdAccion[i]->text(), QStringLiteral("cmdAccion(%1)").arg(i));
        botones->addWidget(m_cmdAccion[i]);
    }
    connect(m_cmdAccion[kNuevo], &QPushButton::clicked, this, &FrmListaPagosPrevios::nuevo);
    connect(m_cmdAccion[kModificar], &QPushButton::clicked, this, &FrmListaPagosPrevios::modificar);
    connect(m_cmdAccion[kEliminar], &QPushButton::clicked, this, &FrmListaPagosPrevios::eliminar);
    connect(m_cmdAccion[kSalir], &QPushButton::clicked, this, &FrmListaPagosPrevios::salir);

    auto *columna = new QVBoxLayout(this);
    columna->addLayout(cabecera);
    columna->addWidget(m_fraPagos, 1);
    columna->addLayout(total);
    columna->addLayout(botones);
}

FrmListaPagosPrevios::~FrmListaPagosPrevios() = default;

void FrmListaPagosPrevios::cargar()
{
    DimensionarVentana(this, 5200, 13800);
    CargaPagos();
    m_mkePeriodo->setText(m_periodoMostrado);
    TotalPagos();
    fijarContextoAyuda(this, kContextoAyuda);
    if (m_bHistorico) {
        for (int i : {kNuevo, kModificar, kEliminar})
            m_cmdAccion[i]->hide();
    }
}

void FrmListaPagosPrevios::CargaPagos(int filaPreferida)
{
    ErrorBD error;
    if (!m_modelo->cargar(m_ctx.db(), m_lista.consulta(), &error) && m_ctx.mensajes) {
        const HallazgoPago h = PagoPrevio::errorSentencia(error);
        m_ctx.mensajes->mostrar(h.titulo, h.texto, Icono::Critico);
    }
    const int filas = m_modelo->rowCount();
    if (filas > 0)
        seleccionar(qBound(0, filaPreferida, filas - 1));
}

void FrmListaPagosPrevios::TotalPagos()
{
    // When the payments cannot be read the total shown stays as it was.
    ErrorBD error;
    const QString total = m_lista.TotalPagos(&error);
    if (!error.hay()) {
        m_txtTotPagosPrevios->setText(total);
    } else if (m_ctx.mensajes) {
        const HallazgoPago h = PagoPrevio::errorSentencia(error);
        m_ctx.mensajes->mostrar(h.titulo, h.texto, Icono::Critico);
    }
}

int FrmListaPagosPrevios::filaActual() const
{
    const QModelIndex actual = m_grdPagosPrevios->currentIndex();
    return actual.isValid() ? actual.row() : -1;
}

void FrmListaPagosPrevios::seleccionar(int fila)
{
    const QModelIndex indice = m_modelo->index(fila, 0);
    m_grdPagosPrevios->setCurrentIndex(indice);
    m_grdPagosPrevios->scrollTo(indice);
}

void FrmListaPagosPrevios::avisar(const QString &texto)
{
    if (m_ctx.mensajes)
        m_ctx.mensajes->mostrar(windowTitle(), texto, Icono::Critico);
}

void FrmListaPagosPrevios::abrirDetalle(const QString &accion, const QVariantMap &fila)
{
    if (!m_ctx.ventanas)
        return;
    ParametrosVentana p;
    p.nombre = QStringLiteral("DetallePagosPrevios");
    p.accion = accion;
    p.historico = m_bHistorico;
    p.fila = fila;
    p.alGrabar = [this] {
        CargaPagos();
        TotalPagos();
    };
    m_ctx.ventanas->AbrirVentana(p, this);
}

void FrmListaPagosPrevios::nuevo()
{
    abrirDetalle(QStringLiteral("NEW"));
    CargaPagos();
    TotalPagos();
}

bool FrmListaPagosPrevios::hayFilaElegida(const QString &listaVacia)
{
    // An empty list is said as such: it has no current row either.
    if (m_modelo->rowCount() == 0) {
        avisar(listaVacia);
        m_cmdAccion[kNuevo]->setFocus();
        return false;
    }
    if (m_modelo->valor(filaActual(), ModeloPagosPrevios::kCodBoleta).isEmpty()) {
        avisar(QStringLiteral("Tiene que Seleccionar un registro"));
        return false;
    }
    return true;
}

void FrmListaPagosPrevios::modificar()
{
    if (!hayFilaElegida(QStringLiteral("No existen registros para modificar")))
        return;
    // The payment changed stays current, wherever the new reading puts it.
    const int fila = filaActual();
    const QString codBoleta = m_modelo->valor(fila, ModeloPagosPrevios::kCodBoleta);
    const QString numOperacion = m_modelo->valor(fila, ModeloPagosPrevios::kNumOperacion);
    const QDate fecPago = m_modelo->fecha(fila);
    abrirDetalle(QStringLiteral("MOD"), m_modelo->registro(fila));
    CargaPagos(fila);
    const int despues = m_modelo->buscar(codBoleta, numOperacion, fecPago);
    if (despues >= 0)
        seleccionar(despues);
    TotalPagos();
}

void FrmListaPagosPrevios::eliminar()
{
    if (!hayFilaElegida(QStringLiteral("No existen registros para eliminar")))
        return;
    if (!m_ctx.mensajes
        || m_ctx.mensajes->mostrar(windowTitle(), QStringLiteral("¿Esta seguro de eliminar el pago previo?"),
                                   Icono::Ninguno, Botones::SiNo, Respuesta::No)
            != Respuesta::Si)
        return;
    const int fila = filaActual();
    m_lista.EliminaPago(m_modelo->valor(fila, ModeloPagosPrevios::kCodBoleta),
                        m_modelo->valor(fila, ModeloPagosPrevios::kNumOperacion), m_modelo->fecha(fila));
    CargaPagos();
    TotalPagos();
}

void FrmListaPagosPrevios::salir()
{
    if (m_devolver)
        m_devolver(m_txtTotPagosPrevios->text());
    QDialog::reject();
}

void FrmListaPagosPrevios::reject()
{
    salir();
}

} // namespace kv
