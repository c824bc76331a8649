#include "frmdetallevuelo.h"

#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/filtroteclas.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

namespace {

const std::array<QString, DatosVuelo::kCantidades> kEtiquetas = {
    QStringLiteral("Tripulantes      :"),
    QStringLiteral("Personal      :"),
    QStringLiteral("Tránsito      :"),
    QStringLiteral("Extraditados     :"),
    QStringLiteral("Arribo Forzoso    :"),
    QStringLiteral("Deportados      :"),
    QStringLiteral("Agentes Diplomáticos y Organismos Internacionales :"),
    QStringLiteral("Adquirieron Pasaje Antes de la Vigencia del Impuesto      :"),
    QStringLiteral("Total Comprendidos     :"),
};

// A locked box looks like a button face, as the stored key and the tax do.
void pintarBloqueado(QLineEdit *campo)
{
    QPalette paleta = campo->palette();
    paleta.setColor(QPalette::Base, paleta.color(QPalette::Button));
    campo->setPalette(paleta);
}

// One labelled box in a frame's grid: the label names the box for the
// keyboard (its buddy) and for assistive tools.
void agregarCampo(QGridLayout *rejilla, int fila, int columna, const QString &etiqueta, QLineEdit *campo,
    const QString &nombreSistema)
{
    auto *texto = new QLabel(etiqueta);
    texto->setBuddy(campo);
    rejilla->addWidget(texto, fila, columna);
    rejilla->addWidget(campo, fila, columna + 1);
    nombrarControl(campo, etiqueta, nombreSistema);
}

} // namespace

FrmDetalleVuelo::FrmDetalleVuelo(Contexto &contexto, const ParametrosVentana &parametros, QWidget *padre)
    : QDialog(padre)
    , m_ctx(contexto)
    , m_datos(contexto)
    , m_detalle(m_datos)
    , m_sAccion(parametros.accion)
    , m_fila(parametros.fila)
    , m_periodoMostrado(parametros.periodoMostrado)
    , m_alGrabar(parametros.alGrabar)
{
    setObjectName(QStringLiteral("frmDetalleVuelo"));
    setWindowTitle(QStringLiteral("Detalle de Vuelos y Cantidad de Pasajeros"));

    m_mkeFecArribo = new QLineEdit;
    m_mkeFecArribo->setObjectName(QStringLiteral("mkeFecArribo"));
    m_mkeFecArribo->setInputMask(QStringLiteral("99/99/9999;_"));
    FiltroTeclas::instalar(m_mkeFecArribo, *m_ctx.utilidad, {});

    m_txtCodVuelo = new QLineEdit;
    m_txtCodVuelo->setObjectName(QStringLiteral("txtCodVuelo"));
    m_txtCodVuelo->setMaxLength(15);
    FiltroTeclas::instalar(
        m_txtCodVuelo, *m_ctx.utilidad, { FiltroTeclas::Tipo::CodigoMayusculas, true, true, true, {} });

    for (int i = 0; i < DatosVuelo::kCantidades; ++i)
        m_txtDatosDet.at(std::size_t(i)) = nuevaCantidad(i);

    m_txtImpuestoDol = new QLineEdit;
    m_txtImpuestoDol->setObjectName(QStringLiteral("txtImpuestoDol"));
    m_txtImpuestoDol->setReadOnly(true);
    m_txtImpuestoDol->setMaxLength(12);
    m_txtImpuestoDol->setAlignment(Qt::AlignRight);
    pintarBloqueado(m_txtImpuestoDol);

    auto *fraVuelo = new QGroupBox(QStringLiteral("Vuelo"));
    auto *rejillaVuelo = new QGridLayout(fraVuelo);
    agregarCampo(rejillaVuelo, 0, 0, QStringLiteral("Fecha de Arribo  : "), m_mkeFecArribo,
        QStringLiteral("mkeFecArribo"));
    agregarCampo(rejillaVuelo, 0, 2, QStringLiteral("Código de Vuelo :"), m_txtCodVuelo,
        QStringLiteral("txtCodVuelo"));

    auto *fraPersonal = new QGroupBox(QStringLiteral("Personal Línea Aérea"));
    auto *rejillaPersonal = new QGridLayout(fraPersonal);
    auto *fraPasajeros = new QGroupBox(QStringLiteral("Pasajeros"));
    auto *rejillaPasajeros = new QGridLayout(fraPasajeros);
    auto *fraComprendidos = new QGroupBox(QStringLiteral("Sujetos Comprendidos"));
    auto *rejillaComprendidos = new QGridLayout(fraComprendidos);
    for (int i = 0; i < DatosVuelo::kCantidades; ++i) {
        const QString nombre = QStringLiteral("txtDatosDet(%1)").arg(i);
        QLineEdit *campo = m_txtDatosDet.at(std::size_t(i));
        if (i < 2)
            agregarCampo(rejillaPersonal, i, 0, kEtiquetas.at(std::size_t(i)), campo, nombre);
        else if (i < DatosVuelo::kAfectos)
            agregarCampo(rejillaPasajeros, i - 2, 0, kEtiquetas.at(std::size_t(i)), campo, nombre);
        else
            agregarCampo(rejillaComprendidos, 0, 0, kEtiquetas.at(std::size_t(i)), campo, nombre);
    }

    // The people on board who are not subject to the tax.
    auto *fraNoComprendidos = new QGroupBox(QStringLiteral("Suejtos No Comprendidos"));
    auto *columnaNo = new QVBoxLayout(fraNoComprendidos);
    columnaNo->addWidget(fraPersonal);
    columnaNo->addWidget(fraPasajeros);

    auto *fraImpuesto = new QGroupBox(QStringLiteral("Impuesto"));
    auto *rejillaImpuesto = new QGridLayout(fraImpuesto);
    agregarCampo(rejillaImpuesto, 0, 0, QStringLiteral("Cuantía del Impuesto   :"), m_txtImpuestoDol,
        QStringLiteral("txtImpuestoDol"));

    m_cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"));
    m_cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    nombrarControl(m_cmdAceptar, m_cmdAceptar->text(), QStringLiteral("cmdAceptar"));
    m_cmdSalir = new QPushButton(QStringLiteral("&Salir"));
    m_cmdSalir->setObjectName(QStringLiteral("cmdSalir"));
    nombrarControl(m_cmdSalir, m_cmdSalir->text(), QStringLiteral("cmdSalir"));
    connect(m_cmdAceptar, &QPushButton::clicked, this, [this] { aceptar(); });
    connect(m_cmdSalir, &QPushButton::clicked, this, &FrmDetalleVuelo::salir);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_cmdAceptar);
    botones->addWidget(m_cmdSalir);
    auto *columna = new QVBoxLayout(this);
    columna->addWidget(fraVuelo);
    columna->addWidget(fraNoComprendidos);
    columna->addWidget(fraComprendidos);
    columna->addWidget(fraImpuesto);
    columna->addLayout(botones);

    QWidget *anterior = m_mkeFecArribo;
    for (QWidget *w : std::initializer_list<QWidget *> { m_txtCodVuelo, m_txtDatosDet[0], m_txtDatosDet[1],
             m_txtDatosDet[2], m_txtDatosDet[3], m_txtDatosDet[4], m_txtDatosDet[5], m_txtDatosDet[6],
             m_txtDatosDet[7], m_txtDatosDet[8], m_txtImpuestoDol, m_cmdAceptar, m_cmdSalir }) {
        setTabOrder(anterior, w);
        anterior = w;
    }

    // The tax follows the passengers subject to it in both modes, and the
    // arrival date while a new flight is typed (a date on the other side of
    // a rate change gives another tax).
    connect(
        m_txtDatosDet[DatosVuelo::kAfectos], &QLineEdit::textChanged, this, [this] { calcularImpuesto(); });
    if (m_sAccion != u"MOD")
        connect(m_mkeFecArribo, &QLineEdit::textChanged, this, [this] { calcularImpuesto(); });
}

FrmDetalleVuelo::~FrmDetalleVuelo() = default;

QLineEdit *FrmDetalleVuelo::nuevaCantidad(int indice)
{
    auto *campo = new QLineEdit;
    campo->setObjectName(QStringLiteral("txtDatosDet%1").arg(indice));
    campo->setMaxLength(5);
    campo->setAlignment(Qt::AlignRight);
    FiltroTeclas::instalar(campo, *m_ctx.utilidad, { FiltroTeclas::Tipo::Numerico, true, true, true, {} });
    return campo;
}

void FrmDetalleVuelo::cargar()
{
    fijarContextoAyuda(this, kContextoAyuda);
    if (m_sAccion == u"MOD") {
        const DatosVuelo vuelo = DetalleVuelo::CargaDatos(m_fila);
        m_cargando = true;
        m_mkeFecArribo->setText(vuelo.fecha);
        m_txtCodVuelo->setText(vuelo.codigo);
        for (int i = 0; i < DatosVuelo::kCantidades; ++i)
            m_txtDatosDet.at(std::size_t(i))->setText(vuelo.cantidades.at(std::size_t(i)));
        m_txtImpuestoDol->setText(vuelo.impuesto);
        m_cargando = false;
        BloqueaClave();
        m_txtDatosDet[0]->setFocus();
    } else {
        m_mkeFecArribo->setFocus();
    }
}

void FrmDetalleVuelo::BloqueaClave()
{
    for (QLineEdit *campo : { m_mkeFecArribo, m_txtCodVuelo }) {
        campo->setEnabled(false);
        pintarBloqueado(campo);
    }
}

DatosVuelo FrmDetalleVuelo::datos() const
{
    DatosVuelo vuelo;
    vuelo.fecha = m_mkeFecArribo->displayText();
    vuelo.codigo = m_txtCodVuelo->text();
    for (int i = 0; i < DatosVuelo::kCantidades; ++i)
        vuelo.cantidades.at(std::size_t(i)) = m_txtDatosDet.at(std::size_t(i))->text();
    vuelo.impuesto = m_txtImpuestoDol->text();
    return vuelo;
}

void FrmDetalleVuelo::calcularImpuesto()
{
    if (m_cargando)
        return;
    m_txtImpuestoDol->setText(m_detalle.calcularImpuesto(
        m_mkeFecArribo->displayText(), m_txtDatosDet[DatosVuelo::kAfectos]->text()));
}

void FrmDetalleVuelo::mostrar(const QString &texto)
{
    if (m_ctx.mensajes)
        m_ctx.mensajes->mostrar(windowTitle(), texto, Icono::Critico);
}

void FrmDetalleVuelo::enfocar(const HallazgoVuelo &hallazgo)
{
    QLineEdit *campo = m_mkeFecArribo;
    if (hallazgo.campo == CampoVuelo::Codigo)
        campo = m_txtCodVuelo;
    else if (hallazgo.campo == CampoVuelo::Cantidad)
        campo = m_txtDatosDet.at(std::size_t(hallazgo.indice));
    if (campo->isEnabled())
        campo->setFocus();
}

bool FrmDetalleVuelo::aceptar()
{
    const DatosVuelo vuelo = datos();
    if (const auto hallazgo
        = m_detalle.ValidaDatos(vuelo, DetalleVuelo::modo(m_sAccion), m_periodoMostrado)) {
        mostrar(hallazgo->mensaje);
        mostrar(DetalleVuelo::kNoSeGrabo);
        enfocar(*hallazgo);
        return false;
    }
    ErrorBD error;
    if (!m_detalle.GrabaDatos(vuelo, &error)) {
        mostrar(QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n' + error.texto);
        mostrar(DetalleVuelo::kNoSeGrabo);
        return false;
    }
    if (m_alGrabar)
        m_alGrabar();
    if (m_sAccion == u"MOD") {
        accept();
    } else {
        LimpiaDatos();
        if (m_mkeFecArribo->isEnabled())
            m_mkeFecArribo->setFocus();
    }
    return true;
}

void FrmDetalleVuelo::LimpiaDatos()
{
    m_txtCodVuelo->clear();
    for (QLineEdit *campo : m_txtDatosDet)
        campo->clear();
    m_txtImpuestoDol->clear();
    m_mkeFecArribo->clear();
}

void FrmDetalleVuelo::salir()
{
    if (m_sAccion == u"MOD" && DetalleVuelo::DatosModificados(datos(), m_fila) && m_ctx.mensajes) {
        const Respuesta r = m_ctx.mensajes->mostrar(windowTitle(),
            QStringLiteral("Los datos han sido modificados, ¿Desea Grabar los cambios? "), Icono::Pregunta,
            Botones::SiNo, Respuesta::Si);
        if (r == Respuesta::Si) {
            aceptar(); // closes only when the flight was saved
            return;
        }
    }
    QDialog::reject();
}

void FrmDetalleVuelo::reject()
{
    salir();
}

void registrarVentanaDetalle(RegistroVentanas &registro, Contexto &contexto)
{
    registro.registrar(QStringLiteral("Detalle"),
        [&contexto](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
            auto ventana = std::make_unique<FrmDetalleVuelo>(contexto, p, padre);
            ventana->cargar();
            return ventana;
        });
}

} // namespace kv
