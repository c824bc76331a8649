#include "frmdetallepagosprevios.h"

#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/anchotexto.h"
#include "store/ui/filtroteclas.h"
#include "store/ui/listas.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace kv {

namespace {

// Dollar amounts are typed with up to 15 digits and shown with their group
// separators, which need four more places.
constexpr int kLargoDolares = 15;
constexpr int kLargoDolaresMostrados = 19;
constexpr int kLargoTipoCambio = 5;

// A box that only shows a value: read-only on the button-face colour.
void pintarBloqueado(QWidget *campo)
{
    QPalette paleta = campo->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
    campo->setPalette(paleta);
}

QLineEdit *cajaNumerica(QWidget *padre, int largo)
{
    auto *caja = new QLineEdit(padre);
    caja->setMaxLength(largo);
    caja->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return caja;
}

} // namespace

FrmDetallePagosPrevios::FrmDetallePagosPrevios(Contexto &contexto, const ParametrosVentana &parametros,
                                               QWidget *padre)
    : QDialog(padre),
      m_ctx(contexto),
      m_datos(contexto),
      m_pago(m_datos),
      m_sAccion(parametros.accion),
      m_bHistorico(parametros.historico),
      m_fila(parametros.fila),
      m_alGrabar(parametros.alGrabar)
{
    setObjectName(QStringLiteral("frmDetallePagosPrevios"));
    setWindowTitle(QStringLiteral("Pagos Previos Realizados"));

    m_fraDetalle = new QGroupBox(QStringLiteral("Detalle del Pago Previo"), this);
    auto *rejilla = new QGridLayout(m_fraDetalle);
    const int caracter = fontMetrics().horizontalAdvance(u'0');
    auto fila = [&](int n, const QString &etiqueta, QWidget *control, const QString &nombre, int ancho) {
        rejilla->addWidget(new QLabel(etiqueta, m_fraDetalle), n, 0);
        if (ancho > 0)
            control->setFixedWidth(ancho);
        rejilla->addWidget(control, n, 1, Qt::AlignLeft);
        nombrarControl(control, etiqueta, nombre);
    };

    const QString etiquetaFormulario = QStringLiteral("Formulario : ");
    m_cboCodFormulario = new QComboBox(m_fraDetalle);
    m_cboCodFormulario->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cboCodFormulario->setMinimumContentsLength(5); // the code; the description is beside it
    m_txtDesFormulario = new QLineEdit(m_fraDetalle);
    m_txtDesFormulario->setReadOnly(true);
    m_txtDesFormulario->setFocusPolicy(Qt::NoFocus); // it repeats the chosen entry of the list
    m_txtDesFormulario->setMinimumWidth(caracter * 42);
    pintarBloqueado(m_txtDesFormulario);
    rejilla->addWidget(new QLabel(etiquetaFormulario, m_fraDetalle), 0, 0);
    auto *boleta = new QHBoxLayout;
    boleta->addWidget(m_cboCodFormulario);
    boleta->addWidget(m_txtDesFormulario, 1);
    rejilla->addLayout(boleta, 0, 1, 1, 2);
    nombrarControl(m_cboCodFormulario, etiquetaFormulario, QStringLiteral("cboCodFormulario"));
    nombrarControl(m_txtDesFormulario, etiquetaFormulario, QStringLiteral("txtDesFormulario"));

    m_txtOperacion = new QLineEdit(m_fraDetalle);
    m_txtOperacion->setMaxLength(PagoPrevio::kLargoOperacion);
    fila(1, QStringLiteral("Número de Orden / Operación :"), m_txtOperacion, QStringLiteral("txtOperacion"),
         caracter * 12);

    m_mkeFecPago = new QLineEdit(m_fraDetalle);
    m_mkeFecPago->setInputMask(QStringLiteral("99/99/9999;_"));
    fila(2, QStringLiteral("Fecha de Pago : "), m_mkeFecPago, QStringLiteral("mkeFecPago"), caracter * 12);

    // Each amount as wide as its longest figure: the most dollars typed,
    // with separators, and those dollars at the highest rate.
    const QString masDolares(kLargoDolares, u'9');
    const QString mayorTipo = QStringLiteral("9.999");
    m_txtMtoDolares = cajaNumerica(m_fraDetalle, kLargoDolaresMostrados);
    fila(3, QStringLiteral("Monto en Dólares  :"), m_txtMtoDolares, QStringLiteral("txtMtoDolares"),
         anchoParaTexto(m_txtMtoDolares, PagoPrevio::dolaresMostrados(masDolares)));

    m_txtTipCambio = cajaNumerica(m_fraDetalle, kLargoTipoCambio);
    fila(4, QStringLiteral("Tipo de Cambio Venta  :"), m_txtTipCambio, QStringLiteral("txtTipCambio"),
         anchoParaTexto(m_txtTipCambio, PagoPrevio::tipoCambioMostrado(mayorTipo)));

    m_txtMontoSoles = cajaNumerica(m_fraDetalle, 32767);
    m_txtMontoSoles->setReadOnly(true);
    pintarBloqueado(m_txtMontoSoles);
    fila(5, QStringLiteral("Monto en Nuevos Soles  :"), m_txtMontoSoles, QStringLiteral("txtMontoSoles"),
         anchoParaTexto(m_txtMontoSoles, PagoPrevio::MontoSoles(masDolares, mayorTipo)));
    rejilla->setColumnStretch(2, 1);

    m_cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    nombrarControl(m_cmdAceptar, m_cmdAceptar->text(), QStringLiteral("cmdAceptar"));
    nombrarControl(m_cmdSalir, m_cmdSalir->text(), QStringLiteral("cmdSalir"));
    connect(m_cmdAceptar, &QPushButton::clicked, this, [this] { aceptar(); });
    connect(m_cmdSalir, &QPushButton::clicked, this, &FrmDetallePagosPrevios::salir);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_cmdAceptar);
    botones->addWidget(m_cmdSalir);
    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_fraDetalle);
    columna->addLayout(botones);

    // Enter moves on in every box; numbers and the rate take digits only
    // (the rate its point too), and nothing can be pasted into them.
    const Utilidad &u = *m_ctx.utilidad;
    const auto numerica = [&u](QWidget *caja, FiltroTeclas::Tipo tipo) {
        FiltroTeclas::instalar(caja, u, {tipo, true, true, true, {}});
    };
    numerica(m_txtOperacion, FiltroTeclas::Tipo::Numerico);
    numerica(m_txtMtoDolares, FiltroTeclas::Tipo::Numerico);
    numerica(m_txtTipCambio, FiltroTeclas::Tipo::NumericoDecimal);
    FiltroTeclas::instalar(m_mkeFecPago, u, {});
    FiltroTeclas::instalar(m_txtMontoSoles, u, {});
    // Installed after the key filters, so the rate's own rules see a key first.
    for (QLineEdit *caja : {m_txtOperacion, m_txtMtoDolares, m_txtTipCambio})
        caja->installEventFilter(this);

    connect(m_cboCodFormulario, &QComboBox::currentIndexChanged, this, &FrmDetallePagosPrevios::eligioBoleta);
    connect(m_txtMtoDolares, &QLineEdit::textChanged, this, &FrmDetallePagosPrevios::calcularSoles);
    connect(m_txtTipCambio, &QLineEdit::textChanged, this, &FrmDetallePagosPrevios::calcularSoles);
}

FrmDetallePagosPrevios::~FrmDetallePagosPrevios() = default;

void FrmDetallePagosPrevios::cargar()
{
    DimensionarVentana(this, 4200, 8400);
    LlenarComboParametros(m_cboCodFormulario, m_datos, QStringLiteral("965"), QStringLiteral("*"), 40, 1, false);
    FijarAnchoCombo(this, m_cboCodFormulario, 60);
    fijarContextoAyuda(this, kContextoAyuda);
    m_cboCodFormulario->setCurrentIndex(-1);
    if (!nuevo()) {
        CargaDatos();
        BloqueaClave();
        m_txtMtoDolares->setFocus();
    } else {
        m_cboCodFormulario->setFocus();
    }
}

void FrmDetallePagosPrevios::CargaDatos()
{
    SeleccionarEnCombo(m_cboCodFormulario, m_fila.value(QStringLiteral("cod_boleta")).toString(), 4);
    m_txtOperacion->setText(m_fila.value(QStringLiteral("num_operacion")).toString());
    m_mkeFecPago->setText(fechaCorta(m_fila.value(QStringLiteral("fec_pago")).toDate()));
    m_txtMtoDolares->setText(m_fila.value(QStringLiteral("mto_dolar")).toString());
    m_txtTipCambio->setText(m_fila.value(QStringLiteral("tip_cambio")).toString());
    m_txtMontoSoles->setText(m_fila.value(QStringLiteral("mto_soles")).toString());
}

void FrmDetallePagosPrevios::BloqueaClave()
{
    for (QWidget *clave : std::initializer_list<QWidget *>{m_cboCodFormulario, m_txtOperacion, m_mkeFecPago}) {
        clave->setEnabled(false);
        pintarBloqueado(clave);
    }
    pintarBloqueado(m_txtDesFormulario);
}

void FrmDetallePagosPrevios::LimpiaDatos()
{
    m_cboCodFormulario->setCurrentIndex(-1);
    m_txtDesFormulario->clear();
    m_txtOperacion->clear();
    m_mkeFecPago->clear();
    m_txtMtoDolares->clear();
    m_txtTipCambio->clear();
}

void FrmDetallePagosPrevios::eligioBoleta(int indice)
{
    // Each entry is the code in 12 places, 5 blanks and the description.
    m_txtDesFormulario->setText(indice < 0 ? QString() : m_cboCodFormulario->itemText(indice).mid(17, 40));
}

void FrmDetallePagosPrevios::calcularSoles()
{
    m_txtMontoSoles->setText(PagoPrevio::MontoSoles(m_txtMtoDolares->text(), m_txtTipCambio->text()));
}

DatosPagoPrevio FrmDetallePagosPrevios::datosPago() const
{
    const int i = m_cboCodFormulario->currentIndex();
    return {i < 0 ? QString() : m_cboCodFormulario->itemText(i).left(4), m_txtOperacion->text(),
            m_mkeFecPago->displayText(), m_txtMtoDolares->text(), m_txtTipCambio->text()};
}

void FrmDetallePagosPrevios::alEntrar(QLineEdit *caja)
{
    if (caja == m_txtMtoDolares) {
        caja->setText(PagoPrevio::dolaresEditables(caja->text()));
        caja->setMaxLength(kLargoDolares);
    } else if (caja == m_txtTipCambio && !caja->text().isEmpty()) {
        caja->setText(PagoPrevio::tipoCambioEditable(caja->text()));
    }
}

void FrmDetallePagosPrevios::alSalir(QLineEdit *caja)
{
    if (caja == m_txtOperacion) {
        caja->setText(PagoPrevio::operacionRellena(caja->text()));
    } else if (caja == m_txtMtoDolares) {
        caja->setMaxLength(kLargoDolaresMostrados);
        caja->setText(PagoPrevio::dolaresMostrados(caja->text()));
    } else if (caja == m_txtTipCambio && !caja->text().isEmpty()) {
        // A rate out of range is told once the focus has settled, so the
        // message box never opens in the middle of a focus change.
        if (PagoPrevio::revisaTipoCambioAlSalir(caja->text())) {
            m_tipoCambioPendiente = true;
            QTimer::singleShot(0, this, [this] { revisarTipoCambioPendiente(); });
        } else {
            caja->setText(PagoPrevio::tipoCambioMostrado(caja->text()));
        }
    }
}

bool FrmDetallePagosPrevios::revisarTipoCambioPendiente()
{
    if (!m_tipoCambioPendiente)
        return true;
    m_tipoCambioPendiente = false;
    if (!isVisible())
        return true;
    const auto hallazgo = PagoPrevio::revisaTipoCambioAlSalir(m_txtTipCambio->text());
    if (!hallazgo)
        return true;
    mostrar(*hallazgo);
    m_txtTipCambio->clear();
    m_txtTipCambio->setFocus();
    return false;
}

bool FrmDetallePagosPrevios::teclaTipoCambio(const QKeyEvent *tecla)
{
    const bool retroceso = tecla->key() == Qt::Key_Backspace;
    const QString texto = tecla->text();
    if (!retroceso
        && (texto.isEmpty() || texto.at(0).unicode() < 32 || texto.at(0).unicode() == 127
            || tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return false; // Enter, Tab, arrows and the paste keys are the key filter's
    if (texto == u"." && m_txtTipCambio->text().contains(u'.'))
        return true;
    // The text as it was before this key: a rate of 10 or more, or one with
    // too many digits, empties the box and the key is dropped.
    if (const auto hallazgo = m_pago.revisaTipoCambioAlTeclear(m_txtTipCambio->text())) {
        mostrar(*hallazgo);
        m_txtTipCambio->clear();
        return true;
    }
    return false;
}

QWidget *FrmDetallePagosPrevios::campo(CampoPago c) const
{
    switch (c) {
    case CampoPago::Boleta: return m_cboCodFormulario;
    case CampoPago::Operacion: return m_txtOperacion;
    case CampoPago::Fecha: return m_mkeFecPago;
    case CampoPago::Dolares: return m_txtMtoDolares;
    case CampoPago::TipoCambio: return m_txtTipCambio;
    case CampoPago::Ninguno: break;
    }
    return nullptr;
}

void FrmDetallePagosPrevios::mostrar(const HallazgoPago &hallazgo)
{
    if (!hallazgo.texto.isEmpty() && m_ctx.mensajes)
        m_ctx.mensajes->mostrar(hallazgo.titulo.isEmpty() ? windowTitle() : hallazgo.titulo, hallazgo.texto,
                                Icono::Critico);
    QWidget *destino = campo(hallazgo.campo);
    if (destino && destino->isEnabled())
        destino->setFocus();
}

bool FrmDetallePagosPrevios::aceptar()
{
    // A button pressed from the keyboard leaves the focus in its box: the
    // rules read every box whether or not it has been left.
    if (!revisarTipoCambioPendiente())
        return false;
    const DatosPagoPrevio pago = datosPago();
    bool grabado = false;
    if (const auto hallazgo = m_pago.ValidaDatos(pago, nuevo()))
        mostrar(*hallazgo);
    else
        grabado = m_pago.GrabaDatos(pago);
    if (!grabado) {
        if (m_ctx.mensajes)
            m_ctx.mensajes->mostrar(windowTitle(), QStringLiteral("No se pudieron grabar los datos del pago previo."),
                                    Icono::Critico);
        return false;
    }
    if (!nuevo()) {
        accept();
        return true;
    }
    if (m_alGrabar)
        m_alGrabar();
    LimpiaDatos();
    m_cboCodFormulario->setFocus();
    return true;
}

void FrmDetallePagosPrevios::salir()
{
    if (!revisarTipoCambioPendiente())
        return;
    if (!nuevo() && PagoPrevio::DatosModificados(datosPago(), m_fila) && m_ctx.mensajes
        && m_ctx.mensajes->mostrar(windowTitle(),
                                   QStringLiteral("Los datos han sido modificados, ¿Desea Grabar los cambios? "),
                                   Icono::Pregunta, Botones::SiNo, Respuesta::Si)
            == Respuesta::Si) {
        aceptar(); // closes once saved
        return;
    }
    QDialog::reject();
}

void FrmDetallePagosPrevios::reject()
{
    salir();
}

bool FrmDetallePagosPrevios::eventFilter(QObject *objeto, QEvent *evento)
{
    auto *caja = qobject_cast<QLineEdit *>(objeto);
    if (!caja)
        return QDialog::eventFilter(objeto, evento);
    switch (evento->type()) {
    case QEvent::FocusIn:
        if (caja != m_cajaActiva) {
            m_cajaActiva = caja;
            alEntrar(caja);
        }
        break;
    case QEvent::FocusOut: {
        // A message box, a menu or another program taking the focus for a
        // while is no leaving of the box.
        const Qt::FocusReason razon = static_cast<QFocusEvent *>(evento)->reason();
        if (razon == Qt::ActiveWindowFocusReason || razon == Qt::PopupFocusReason)
            break;
        m_cajaActiva = nullptr;
        alSalir(caja);
        break;
    }
    case QEvent::KeyPress:
        if (caja == m_txtTipCambio)
            return teclaTipoCambio(static_cast<QKeyEvent *>(evento));
        break;
    default:
        break;
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace kv
