#include "frmformulario.h"

#include "casillasventana.h"
#include "frmresumenmes.h"
#include "flights/tasavuelo.h"
#include "grabacion.h"
#include "grillavuelos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/ui/accesible.h"
#include "store/ui/anchotexto.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/cursorespera.h"
#include "store/ui/filtroteclas.h"
#include "store/ui/formadepagoqdl.h"
#include "store/ui/geometria.h"
#include "store/ui/listas.h"
#include "store/utilidad.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSqlRecord>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

// The boxes the user never types into: their figures come from the flights
// or from other boxes.
bool casillaBloqueada(const QString &casilla)
{
    return Casillas::esCalculada(casilla.toInt());
}

void fijarFondo(QWidget *control, const QColor &color)
{
    QPalette paleta = control->palette();
    paleta.setColor(QPalette::Base, color);
    control->setPalette(paleta);
}

// Read-only with the button face as background, the look of a field the
// user cannot change; its text stays as dark as in any other field, so a
// RUC or a figure shown there is read at a glance.
void bloquear(QLineEdit *campo)
{
    campo->setReadOnly(true);
    QPalette paleta = campo->palette();
    const QColor fondo = paleta.color(QPalette::Button);
    paleta.setColor(QPalette::Base, fondo);
    paleta.setColor(QPalette::Disabled, QPalette::Base, fondo);
    paleta.setColor(QPalette::Disabled, QPalette::Text, paleta.color(QPalette::Active, QPalette::Text));
    campo->setPalette(paleta);
}

QString textoError(const ErrorBD &error)
{
    return QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n' + error.texto;
}

// The arrival date of a grid row (stored as ISO text, perhaps with a time).
QDate fechaDeArribo(const QSqlRecord &fila)
{
    return fechaGuardada(fila.value(QStringLiteral("fec_arribo")));
}

bool esFocoDelUsuario(const QFocusEvent *evento)
{
    // A message box or a menu takes the focus for a moment: that is not
    // the user leaving the field.
    return evento->reason() != Qt::ActiveWindowFocusReason && evento->reason() != Qt::PopupFocusReason;
}

} // namespace

frmFormulario::frmFormulario(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                             QWidget *padre) :
      QDialog(padre),
      m_ctx(contexto), m_decl(contexto), m_barra(barra)
{
    m_decl.abrir(parametros.accion, parametros.historico, parametros.texto, parametros.numOrden,
                 parametros.numControl);
    setObjectName(QStringLiteral("frmFormulario"));
    setWindowTitle(kTitulo);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    auto *identificacion = new QWidget(m_tabs);
    auto *vuelos = new QWidget(m_tabs);
    auto *deuda = new QWidget(m_tabs);
    m_tabs->addTab(identificacion, QStringLiteral("Identificación"));
    m_tabs->addTab(vuelos, QStringLiteral("Vuelos y Cantidad de Pasajeros"));
    m_tabs->addTab(deuda, QStringLiteral("Determinación de la Deuda"));
    nombrarControl(m_tabs->tabBar(), QStringLiteral("Pestañas de la declaración"), QStringLiteral("SSTab1"));
    crearIdentificacion(identificacion);
    crearVuelos(vuelos);
    crearDeuda(deuda);
    anchoCifras();

    // The order number of a sent declaration, beside the buttons.
    m_frmOrden = new QGroupBox(QStringLiteral("Número de Orden"), this);
    m_frmOrden->setObjectName(QStringLiteral("frmOrden"));
    auto *lblOrden = new QLabel(QStringLiteral("Ingrese Nro de Orden "), m_frmOrden);
    m_txtOrden = new QLineEdit(m_frmOrden);
    m_txtOrden->setObjectName(QStringLiteral("txtOrden"));
    m_txtOrden->setMaxLength(8);
    lblOrden->setBuddy(m_txtOrden);
    m_txtVerifica = new QLineEdit(m_frmOrden);
    m_txtVerifica->setObjectName(QStringLiteral("txtVerifica"));
    m_txtVerifica->setMaxLength(2);
    const QFontMetrics medidas = fontMetrics();
    m_txtOrden->setFixedWidth(medidas.horizontalAdvance(QStringLiteral("000000000")) + 12);
    m_txtVerifica->setFixedWidth(medidas.horizontalAdvance(QStringLiteral("000")) + 12);
    nombrarControl(m_txtOrden, lblOrden->text(), QStringLiteral("txtOrden"));
    nombrarControl(m_txtVerifica, QStringLiteral("Dígito verificador"), QStringLiteral("txtVerifica"));
    auto *filaOrden = new QHBoxLayout(m_frmOrden);
    filaOrden->addWidget(lblOrden);
    filaOrden->addWidget(m_txtOrden);
    filaOrden->addWidget(new QLabel(QStringLiteral("-"), m_frmOrden));
    filaOrden->addWidget(m_txtVerifica);
    m_frmOrden->hide();

    m_cmdValidar = new QPushButton(QStringLiteral("V&alidar"), this);
    m_cmdValidar->setObjectName(QStringLiteral("cmdValidar"));
    m_cmdGrabar = new QPushButton(QStringLiteral("&Grabar"), this);
    m_cmdGrabar->setObjectName(QStringLiteral("CmdGrabar"));
    m_cmdCancelar = new QPushButton(QStringLiteral("&Salir"), this);
    m_cmdCancelar->setObjectName(QStringLiteral("CmdCancelar"));
    for (QPushButton *b : {m_cmdValidar, m_cmdGrabar, m_cmdCancelar}) {
        b->setAutoDefault(false);
        b->setMinimumWidth(twipsAPixeles(this, 1200));
    }
    nombrarControl(m_cmdValidar, m_cmdValidar->text(), QStringLiteral("cmdValidar"));
    nombrarControl(m_cmdGrabar, m_cmdGrabar->text(), QStringLiteral("CmdGrabar"));
    nombrarControl(m_cmdCancelar, m_cmdCancelar->text(), QStringLiteral("CmdCancelar"));
    connect(m_cmdValidar, &QPushButton::clicked, this, &frmFormulario::Validar);
    connect(m_cmdGrabar, &QPushButton::clicked, this, &frmFormulario::grabarPulsado);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmFormulario::reject);

    auto *pie = new QHBoxLayout;
    pie->addWidget(m_frmOrden);
    pie->addStretch(1);
    pie->addWidget(m_cmdValidar, 0, Qt::AlignBottom);
    pie->addWidget(m_cmdGrabar, 0, Qt::AlignBottom);
    pie->addWidget(m_cmdCancelar, 0, Qt::AlignBottom);
    auto *principal = new QVBoxLayout(this);
    principal->addWidget(m_tabs, 1);
    principal->addLayout(pie);

    connect(m_tabs, &QTabWidget::currentChanged, this, &frmFormulario::pestanaCambiada);
    fijarContextoAyuda(this, kContextoIdentificacion);
    // A month of flights needs room: the window can be maximized and the
    // grid takes what it is given.
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setSizeGripEnabled(true);
    auto *buscar = new QShortcut(QKeySequence::Find, this);
    connect(buscar, &QShortcut::activated, this, &frmFormulario::irABuscar);
    instalarTeclas();
    conectarCasillas();
}

frmFormulario::~frmFormulario() = default;

void frmFormulario::crearIdentificacion(QWidget *pagina)
{
    auto *basicos = new QGroupBox(QStringLiteral("Datos  Basicos"), pagina);
    auto *rejilla = new QGridLayout(basicos);

    auto *lblRuc = new QLabel(QStringLiteral("RUC :"), basicos);
    m_cmbRuc = new QComboBox(basicos);
    m_cmbRuc->setObjectName(QStringLiteral("CmbRuc"));
    m_txtNumRuc = new QLineEdit(basicos);
    m_txtNumRuc->setObjectName(QStringLiteral("TxtNumRuc"));
    m_txtNumRuc->setMaxLength(11);
    lblRuc->setBuddy(m_cmbRuc);
    // The closed list shows the chosen RUC, the name goes in its own field;
    // the open list shows both.
    const int anchoRuc = std::max(twipsAPixeles(this, 1340),
                                  fontMetrics().horizontalAdvance(QStringLiteral("00000000000")) + 40);
    m_cmbRuc->setFixedWidth(anchoRuc);
    m_txtNumRuc->setFixedWidth(anchoRuc);

    auto *lblRazon = new QLabel(QStringLiteral("Razón Social :"), basicos);
    m_txtRazon = new QLineEdit(basicos);
    m_txtRazon->setObjectName(QStringLiteral("TxtRazon"));
    m_txtRazon->setMaxLength(kLargoRazon);
    m_txtRazon->setMinimumWidth(fontMetrics().horizontalAdvance(QString(40, u'N')));
    lblRazon->setBuddy(m_txtRazon);

    auto *lblTelefono = new QLabel(QStringLiteral("Teléfono :"), basicos);
    m_txtTelefono = new QLineEdit(basicos);
    m_txtTelefono->setObjectName(QStringLiteral("TxtTelefono"));
    m_txtTelefono->setMaxLength(8);
    m_txtTelefono->setFixedWidth(anchoRuc);
    lblTelefono->setBuddy(m_txtTelefono);

    auto *lblPeriodo = new QLabel(QStringLiteral("Período Tributario :"), basicos);
    m_mkePeriodo = new QLineEdit(basicos);
    m_mkePeriodo->setObjectName(QStringLiteral("MkePeriodo"));
    m_mkePeriodo->setInputMask(QStringLiteral("99/9999;_"));
    m_mkePeriodo->setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("00/00000")) + 16);
    lblPeriodo->setBuddy(m_mkePeriodo);
    auto *lblFormato = new QLabel(QStringLiteral("(mm/aaaa)"), basicos);

    auto *celdaRuc = new QHBoxLayout;
    celdaRuc->addWidget(m_cmbRuc);
    celdaRuc->addWidget(m_txtNumRuc);
    celdaRuc->addStretch(1);
    auto *celdaPeriodo = new QHBoxLayout;
    celdaPeriodo->addWidget(m_mkePeriodo);
    celdaPeriodo->addWidget(lblFormato);
    celdaPeriodo->addStretch(1);
    auto *celdaTelefono = new QHBoxLayout;
    celdaTelefono->addWidget(m_txtTelefono);
    celdaTelefono->addStretch(1);
    rejilla->addWidget(lblRuc, 0, 0);
    rejilla->addLayout(celdaRuc, 0, 1);
    rejilla->addWidget(lblRazon, 1, 0);
    rejilla->addWidget(m_txtRazon, 1, 1);
    rejilla->addWidget(lblTelefono, 2, 0);
    rejilla->addLayout(celdaTelefono, 2, 1);
    rejilla->addWidget(lblPeriodo, 3, 0);
    rejilla->addLayout(celdaPeriodo, 3, 1);
    rejilla->setColumnStretch(1, 1);

    nombrarControl(m_cmbRuc, lblRuc->text(), QStringLiteral("CmbRuc"));
    nombrarControl(m_txtNumRuc, lblRuc->text(), QStringLiteral("TxtNumRuc"));
    nombrarControl(m_txtRazon, lblRazon->text(), QStringLiteral("TxtRazon"));
    nombrarControl(m_txtTelefono, lblTelefono->text(), QStringLiteral("TxtTelefono"));
    nombrarControl(m_mkePeriodo, lblPeriodo->text(), QStringLiteral("MkePeriodo"));

    auto *rectificatoria = new QGroupBox(QStringLiteral("Rectificatoria"), pagina);
    auto *pregunta = new QLabel(QStringLiteral("¿La presente declaración rectifica o sustituye a otra?"),
                                rectificatoria);
    m_optSi = new QRadioButton(QStringLiteral("Si"), rectificatoria);
    m_optSi->setObjectName(QStringLiteral("OptRectifica1"));
    m_optNo = new QRadioButton(QStringLiteral("No"), rectificatoria);
    m_optNo->setObjectName(QStringLiteral("OptRectifica0"));
    m_optNo->setChecked(true);
    nombrarControl(m_optSi, m_optSi->text(), QStringLiteral("OptRectifica(1)"));
    nombrarControl(m_optNo, m_optNo->text(), QStringLiteral("OptRectifica(0)"));
    auto *filaRect = new QHBoxLayout(rectificatoria);
    filaRect->addWidget(pregunta);
    filaRect->addSpacing(12);
    filaRect->addWidget(m_optSi);
    filaRect->addWidget(m_optNo);
    filaRect->addStretch(1);

    auto *columna = new QVBoxLayout(pagina);
    columna->addWidget(basicos);
    columna->addWidget(rectificatoria);
    columna->addStretch(1);

    connect(m_cmbRuc, &QComboBox::activated, this, &frmFormulario::rucElegido);
    connect(m_txtNumRuc, &QLineEdit::textEdited, this, &frmFormulario::numRucCambiado);
    connect(m_txtRazon, &QLineEdit::textChanged, this, &frmFormulario::razonCambiada);
    connect(m_mkePeriodo, &QLineEdit::textEdited, this, [this] { periodoCambiado(); });
    // Whatever changes the telephone (a key, cutting, undoing) changes the
    // declaration.
    connect(m_txtTelefono, &QLineEdit::textEdited, this, &frmFormulario::marcarModificado);
    connect(m_optSi, &QRadioButton::clicked, this, [this] { rectificaElegida(1); });
    connect(m_optNo, &QRadioButton::clicked, this, [this] { rectificaElegida(0); });
}

QLineEdit *frmFormulario::crearCasilla(const QString &casilla, const QString &etiqueta, QGridLayout *rejilla,
                                       int fila, int columna)
{
    QWidget *padre = rejilla->parentWidget();
    auto *numero = new QLabel(casilla, padre);
    QFont negrita = numero->font();
    negrita.setBold(true);
    numero->setFont(negrita);
    auto *texto = new QLabel(etiqueta, padre);
    auto *campo = new QLineEdit(padre);
    campo->setObjectName(QStringLiteral("txtValor") + casilla);
    campo->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    campo->setMaxLength(Casillas::longitudInicial(casilla.toInt()));
    texto->setBuddy(campo);
    rejilla->addWidget(numero, fila, columna * 3);
    rejilla->addWidget(texto, fila, columna * 3 + 1);
    rejilla->addWidget(campo, fila, columna * 3 + 2);
    if (columna > 0)
        rejilla->setColumnMinimumWidth(columna * 3, numero->sizeHint().width() + 16);
    nombrarControl(campo, QStringLiteral("Casilla ") + casilla + u' ' + etiqueta,
                   QStringLiteral("txtValor(") + casilla + u')');
    if (casillaBloqueada(casilla)) {
        bloquear(campo);
        campo->setFocusPolicy(Qt::NoFocus);
    } else if (casilla == u"403") {
        // The previous payments' total: written by their list, which a key
        // in the box opens.
        campo->setReadOnly(true);
        fijarFondo(campo, Qt::cyan);
    }
    m_casillas.insert(casilla, campo);
    return campo;
}

void frmFormulario::crearVuelos(QWidget *pagina)
{
    m_modeloVuelos = new ModeloVuelos(this);
    // Each flight with the rate in force on its arrival date, beside its tax.
    m_modeloTasa = new ModeloTasaVuelos(TablaTasas(m_decl.datos()), Declaracion::kFecArribo, this);
    m_modeloTasa->setSourceModel(m_modeloVuelos);
    m_grdDetalle = new QTableView(pagina);
    m_grdDetalle->setObjectName(QStringLiteral("grdDetalle"));
    auto *encabezado = new EncabezadoGrupos(gruposVuelos(), m_grdDetalle);
    m_grdDetalle->setHorizontalHeader(encabezado);
    m_grdDetalle->setModel(m_modeloTasa);
    m_grdDetalle->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdDetalle->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdDetalle->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grdDetalle->setTabKeyNavigation(false);
    m_grdDetalle->setWordWrap(false);
    m_grdDetalle->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grdDetalle->verticalHeader()->setDefaultSectionSize(m_grdDetalle->fontMetrics().height() + 6);
    m_grdDetalle->verticalHeader()->hide();
    nombrarControl(m_grdDetalle, QStringLiteral("Vuelos"), QStringLiteral("grdDetalle"));
    m_anchosVuelos = anchosColumnasVuelos(m_grdDetalle);
    // Ten flights on view under the two-row heading.
    m_grdDetalle->setMinimumHeight(encabezado->sizeHint().height()
                                   + 10 * m_grdDetalle->verticalHeader()->defaultSectionSize()
                                   + m_grdDetalle->horizontalScrollBar()->sizeHint().height() + 4);
    m_lecturaVuelos.setInterval(0);
    connect(&m_lecturaVuelos, &QTimer::timeout, this, [this] {
        if (m_modeloVuelos->canFetchMore())
            m_modeloVuelos->fetchMore();
        else
            m_lecturaVuelos.stop();
    });
    connect(m_grdDetalle, &QTableView::doubleClicked, this, [this](const QModelIndex &indice) {
        if (indice.isValid() && !m_decl.bHistorico())
            accionVuelo(1);
    });

    const QString textos[4] = {QStringLiteral("&Nuevo"), QStringLiteral("&Modificar"),
                               QStringLiteral("&Eliminar"), QStringLiteral("&Importar")};
    auto *botones = new QVBoxLayout;
    for (int i = 0; i < 4; ++i) {
        m_cmdAccion[i] = new QPushButton(textos[i], pagina);
        m_cmdAccion[i]->setObjectName(QStringLiteral("cmdAccion%1").arg(i));
        m_cmdAccion[i]->setAutoDefault(false);
        nombrarControl(m_cmdAccion[i], textos[i], QStringLiteral("cmdAccion(%1)").arg(i));
        connect(m_cmdAccion[i], &QPushButton::clicked, this, [this, i] { accionVuelo(i); });
        botones->addWidget(m_cmdAccion[i]);
    }
    m_cmdResumen = new QPushButton(QStringLiteral("Resumen del mes"), pagina);
    m_cmdResumen->setObjectName(QStringLiteral("cmdResumen"));
    m_cmdResumen->setAutoDefault(false);
    nombrarControl(m_cmdResumen, m_cmdResumen->text(), QStringLiteral("cmdResumen"));
    connect(m_cmdResumen, &QPushButton::clicked, this, &frmFormulario::abrirResumenMes);
    botones->addWidget(m_cmdResumen);
    botones->addStretch(1);

    // The totals in two columns: the people on board, then the flights,
    // the tax and the rate it is converted at.
    auto *totales = new QGroupBox(pagina);
    auto *rejilla = new QGridLayout(totales);
    rejilla->setVerticalSpacing(4);
    const QStringList columnaA = {QStringLiteral("390"), QStringLiteral("391"), QStringLiteral("392"),
                                  QStringLiteral("393"), QStringLiteral("394")};
    const QStringList columnaB = {QStringLiteral("395"), QStringLiteral("396"), QStringLiteral("397")};
    for (qsizetype i = 0; i < columnaA.size(); ++i)
        crearCasilla(columnaA.at(i), Declaracion::etiquetaCasilla(columnaA.at(i)), rejilla, int(i), 0);
    for (qsizetype i = 0; i < columnaB.size(); ++i)
        crearCasilla(columnaB.at(i), Declaracion::etiquetaCasilla(columnaB.at(i)), rejilla, int(i), 1);

    // Box 401 shown a second time, below the rate it comes from.
    auto *lblSoles = new QLabel(QStringLiteral("Impuesto Nuevos Soles ( S/. )"), totales);
    m_txtImpSoles = new QLineEdit(totales);
    m_txtImpSoles->setObjectName(QStringLiteral("txtImpSoles"));
    m_txtImpSoles->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_txtImpSoles->setFocusPolicy(Qt::NoFocus);
    bloquear(m_txtImpSoles);
    lblSoles->setBuddy(m_txtImpSoles);
    nombrarControl(m_txtImpSoles, lblSoles->text(), QStringLiteral("txtImpSoles"));
    rejilla->addWidget(lblSoles, int(columnaB.size()), 4);
    rejilla->addWidget(m_txtImpSoles, int(columnaB.size()), 5);
    rejilla->setColumnMinimumWidth(3, 12);
    rejilla->setColumnStretch(1, 1);
    rejilla->setColumnStretch(4, 1);

    // A flight found by its code or date (Ctrl+F): its row is chosen.
    auto *lblBuscar = new QLabel(QStringLiteral("&Buscar:"), pagina);
    m_txtBuscar = new QLineEdit(pagina);
    m_txtBuscar->setObjectName(QStringLiteral("txtBuscar"));
    m_txtBuscar->setPlaceholderText(QStringLiteral("código o fecha (dd/mm/aaaa)"));
    m_txtBuscar->setClearButtonEnabled(true);
    m_txtBuscar->setMinimumWidth(fontMetrics().horizontalAdvance(m_txtBuscar->placeholderText()) + 40);
    lblBuscar->setBuddy(m_txtBuscar);
    nombrarControl(m_txtBuscar, QStringLiteral("Buscar"), QStringLiteral("txtBuscar"));
    m_lblNoEncontrado = new QLabel(QStringLiteral("No se encontró el vuelo."), pagina);
    m_lblNoEncontrado->setObjectName(QStringLiteral("lblNoEncontrado"));
    m_lblNoEncontrado->hide();
    connect(m_txtBuscar, &QLineEdit::textEdited, this, [this] { buscarVuelo(false); });
    connect(m_txtBuscar, &QLineEdit::returnPressed, this, [this] { buscarVuelo(true); });
    auto *filaBuscar = new QHBoxLayout;
    filaBuscar->addWidget(lblBuscar);
    filaBuscar->addWidget(m_txtBuscar);
    filaBuscar->addWidget(m_lblNoEncontrado);
    filaBuscar->addStretch(1);

    auto *arriba = new QHBoxLayout;
    arriba->addWidget(m_grdDetalle, 1);
    arriba->addLayout(botones);
    auto *columna = new QVBoxLayout(pagina);
    columna->addLayout(filaBuscar);
    columna->addLayout(arriba, 1);
    columna->addWidget(totales);
}

void frmFormulario::crearDeuda(QWidget *pagina)
{
    auto *cifras = new QGroupBox(pagina);
    auto *rejilla = new QGridLayout(cifras);
    int fila = 0;
    for (const QString &casilla : Declaracion::casillas()) {
        if (casilla < u"401")
            continue;
        crearCasilla(casilla, Declaracion::etiquetaCasilla(casilla), rejilla, fila++, 0);
    }
    rejilla->setColumnStretch(1, 1);
    rejilla->setRowStretch(fila, 1);

    auto *marcoPago = new QGroupBox(QStringLiteral("Forma de Pago"), pagina);
    m_formaPago = new FormaDePagoQDL(marcoPago);
    m_formaPago->setObjectName(QStringLiteral("FormaDePagoQDL1"));
    auto *columnaPago = new QVBoxLayout(marcoPago);
    columnaPago->addWidget(m_formaPago);
    columnaPago->addStretch(1);
    connect(m_formaPago, &FormaDePagoQDL::cambiado, this, &frmFormulario::marcarModificado);

    auto *fila2 = new QHBoxLayout(pagina);
    fila2->addWidget(cifras, 3);
    fila2->addWidget(marcoPago, 2);
}

void frmFormulario::anchoCifras()
{
    // Every box as wide as the widest figure any of them shows, so that a
    // figure is never read cut and the columns of boxes line up; the
    // panel's amount is box 410 again.
    int ancho = 0;
    for (int casilla : Casillas::lista())
        ancho = std::max(ancho, anchoParaTexto(m_casillas.value(QString::number(casilla)),
                                               Casillas::textoMasAncho(casilla)));
    for (QLineEdit *campo : std::as_const(m_casillas))
        campo->setFixedWidth(ancho);
    m_txtImpSoles->setFixedWidth(ancho);
    ajustarAnchoATexto(m_formaPago->campoImporte(), Casillas::textoMasAncho(410));
}

void frmFormulario::instalarTeclas()
{
    if (m_ctx.utilidad) {
        const Utilidad &u = *m_ctx.utilidad;
        using T = FiltroTeclas::Tipo;
        FiltroTeclas::instalar(m_txtNumRuc, u, {T::Numerico, true, false, false, {}});
        FiltroTeclas::instalar(m_txtTelefono, u, {T::Numerico, true, true, true, {}});
        FiltroTeclas::instalar(m_mkePeriodo, u, {T::Libre, true, false, false, {}});
        FiltroTeclas::instalar(m_txtOrden, u, {T::Numerico, true, true, true, {}});
        FiltroTeclas::instalar(m_txtVerifica, u, {T::Numerico, true, false, false, {}});
    }
    // Installed after the key filters, so the window sees every key first:
    // a key in these fields marks the declaration modified even when the
    // filter then drops it.
    for (QWidget *w : {static_cast<QWidget *>(m_cmbRuc), static_cast<QWidget *>(m_txtNumRuc),
                       static_cast<QWidget *>(m_txtRazon), static_cast<QWidget *>(m_txtTelefono),
                       static_cast<QWidget *>(m_mkePeriodo)})
        w->installEventFilter(this);
    connect(m_txtOrden, &QLineEdit::textEdited, this, [this] { m_ordenCambiado = true; });
}

void frmFormulario::cargar()
{
    m_abriendo = true;
    m_cerrando = false;
    ErrorBD error;
    if (!m_decl.BorroTemporal(&error))
        informarFallo(QStringLiteral("No se pudo vaciar la copia de trabajo."), error);
    m_formaPago->cargarBancos(m_decl.datos());
    if (!m_decl.esNueva()) {
        if (!m_decl.CargaTemporal(&error))
            informarFallo(QStringLiteral("No se pudieron leer los vuelos y pagos previos de la declaración."),
                          error);
        const CabeceraCargada cabecera = m_decl.CargarCab(m_formaPago->numcheque(), &error);
        if (error.hay())
            informarFallo(QStringLiteral("No se pudo leer la cabecera de la declaración."), error);
        else
            mostrarCabecera(cabecera);
    } else {
        m_ctx.sPeriodo.clear();
        m_formaPago->setFormapago(FormaDePagoQDL::kSinElegir);
    }

    CursorEspera espera;
    DimensionarVentana(this, 6825, 9615);
    resize(size().expandedTo(minimumSizeHint()));
    move(parentWidget() ? parentWidget()->window()->frameGeometry().topLeft() : QPoint(0, 0));
    // The size and place the user gave it last time, if any.
    restaurarGeometria(this, objectName());
    m_tabs->setCurrentIndex(kIdentificacion);

    if (m_decl.esNueva()) {
        LlenarComboRuc(m_cmbRuc, m_decl.datos());
        m_cmbRuc->setCurrentIndex(-1);
        AjustarAnchoCombo(this, m_cmbRuc);
        FijarAnchoCombo(this, m_cmbRuc, 40);
        if (m_barra) {
            m_barra->setNumdoc(QString());
            m_barra->setRazonsocial(QString());
            m_barra->setPeriodo_ejercicio(QString());
            m_barra->setFormulario(m_ctx.sFormulario);
        }
        txtValor(QStringLiteral("395"))->setText(QStringLiteral("0"));
        txtValor(QStringLiteral("396"))->setText(QStringLiteral("0"));
    }
    CargaIdent();

    if (!m_decl.esNueva()) {
        const CasillasCargadas casillas = m_decl.CargarCasillas(m_mkePeriodo->displayText(), &error);
        if (error.hay())
            informarFallo(QStringLiteral("No se pudieron leer las casillas de la declaración."), error);
        mostrarCasillas(casillas);
    }
    CargaVuelos();

    if (m_decl.bHistorico()) {
        DesTodo();
        m_txtOrden->show();
        m_frmOrden->show();
        const QString verificador = m_decl.verificadorInicial();
        if (!verificador.isEmpty())
            m_txtVerifica->setText(verificador);
    }
    m_abriendo = false;
    m_modificado = false;
}

void frmFormulario::informarFallo(const QString &paso, const ErrorBD &error)
{
    if (m_ctx.mensajes)
        m_ctx.mensajes->mostrar(windowTitle(), paso + u'\n' + textoError(error), Icono::Critico);
}

void frmFormulario::mostrarCabecera(const CabeceraCargada &cabecera)
{
    m_formaPago->setImporte(cabecera.importe);
    if (cabecera.hayCabecera) {
        m_formaPago->setFormapago(cabecera.formapago);
        m_formaPago->setBanco(cabecera.banco);
        m_formaPago->setNumcheque(cabecera.numcheque);
        if (m_decl.bHistorico())
            m_txtOrden->setText(cabecera.norden);
    }
}

void frmFormulario::mostrarCasillas(const CasillasCargadas &casillas)
{
    m_cajas->cargar(casillas.valores);
    m_cajas->setHistorico(m_decl.bHistorico());
    if (casillas.telefono)
        m_txtTelefono->setText(*casillas.telefono);
    if (casillas.importe)
        m_formaPago->setImporte(*casillas.importe);
    if (casillas.formapago)
        m_formaPago->setFormapago(*casillas.formapago);
    if (casillas.numcheque)
        m_formaPago->setNumcheque(*casillas.numcheque);
    if (casillas.rectifica)
        ActivaBotonesForm(QStringLiteral("871"), *casillas.rectifica);
}

void frmFormulario::CargaIdent()
{
    if (m_decl.esNueva()) {
        m_txtNumRuc->setEnabled(false);
        m_txtNumRuc->hide();
        m_cmbRuc->setEnabled(true);
        m_cmbRuc->show();
        m_txtRazon->setEnabled(false);
        bloquear(m_txtRazon);
        return;
    }
    m_cmbRuc->setEnabled(false);
    m_cmbRuc->hide();
    m_txtNumRuc->show();
    m_txtNumRuc->setEnabled(false);
    m_txtRazon->setEnabled(false);
    m_mkePeriodo->setEnabled(false);
    for (QLineEdit *campo : {m_txtNumRuc, m_txtRazon, m_mkePeriodo})
        bloquear(campo);
    m_txtNumRuc->setText(m_ctx.sRuc);
    m_mkePeriodo->setText(Declaracion::periodoMostrado(m_ctx.sPeriodo));
    mostrarRazon(m_ctx.sRazonSocial);
    if (m_barra) {
        m_barra->setNumdoc(m_ctx.sRuc);
        m_barra->setPeriodo_ejercicio(m_mkePeriodo->displayText());
        m_barra->setFormulario(m_ctx.sFormulario);
    }
}

void frmFormulario::CargaVuelos()
{
    const QModelIndex actual = m_grdDetalle->currentIndex();
    const int fila = actual.isValid() ? actual.row() : 0;
    m_lecturaVuelos.stop();
    const ErrorBD error = m_modeloVuelos->cargar(m_ctx.db(), Declaracion::consultaVuelos(motorDe(m_ctx.db())));
    if (error.hay())
        informarFallo(QStringLiteral("No se pudieron leer los vuelos."), error);
    // A new query resets the columns: the widths measured once come back.
    colocarColumnaTasa();
    for (int c = 0; c < m_anchosVuelos.size(); ++c)
        m_grdDetalle->setColumnWidth(c, m_anchosVuelos.at(c));
    m_modeloVuelos->leerHasta(fila);
    const int filas = m_modeloVuelos->rowCount();
    if (filas > 0)
        m_grdDetalle->setCurrentIndex(m_modeloTasa->index(std::min(fila, filas - 1), 0));
    if (m_modeloVuelos->canFetchMore())
        m_lecturaVuelos.start();
}

void frmFormulario::DesTodo()
{
    m_formaPago->setHabilitado(QStringLiteral("0"));
    for (QLineEdit *campo : {m_txtRazon, m_txtNumRuc, m_mkePeriodo, m_txtTelefono})
        bloquear(campo);
    m_txtTelefono->setEnabled(false);
    // A sent declaration's rectification is part of what was sent.
    m_optSi->setEnabled(false);
    m_optNo->setEnabled(false);
    m_cmdValidar->hide();
    m_cmdGrabar->setText(QStringLiteral("&Registrar Nro. Orden"));
    m_cmdGrabar->setMinimumWidth(std::max(twipsAPixeles(this, 2000), m_cmdGrabar->sizeHint().width()));
    nombrarControl(m_cmdGrabar, m_cmdGrabar->text(), QStringLiteral("CmdGrabar"));
    for (QPushButton *b : m_cmdAccion)
        b->setEnabled(false);
    for (const QString &casilla : Declaracion::casillas()) {
        if (casillaBloqueada(casilla) || casilla == u"403")
            continue;
        QLineEdit *campo = txtValor(casilla);
        campo->setEnabled(false);
        bloquear(campo);
    }
}

void frmFormulario::ActivaBotonesForm(const QString &casilla, const QString &valor)
{
    // Only the rectification has a place in the window; 040, 041 and 056
    // come here too and change nothing.
    if (casilla != u"871")
        return;
    m_cargandoRectifica = true;
    const int indice = valor == u"0" ? 0 : 1;
    OptRectifica(indice)->setChecked(true);
    rectificaElegida(indice);
    m_cargandoRectifica = false;
}

Respuesta frmFormulario::mostrar(const QString &texto, Icono icono, Botones botones, Respuesta predeterminada)
{
    if (!m_ctx.mensajes)
        return predeterminada;
    return m_ctx.mensajes->mostrar(windowTitle(), texto, icono, botones, predeterminada);
}

// --- Identification tab ---------------------------------------------------

void frmFormulario::rucElegido(int indice)
{
    if (indice < 0)
        return;
    const QString rucAnterior = m_ctx.sRuc;
    const QString periodoAnterior = m_ctx.sPeriodo;
    const QString entrada = m_cmbRuc->itemText(indice);
    m_ctx.sRazonSocial = Declaracion::razonDeEntrada(entrada);
    mostrarRazon(m_ctx.sRazonSocial);
    m_ctx.sRuc = Declaracion::rucDeEntrada(entrada);
    if (m_barra)
        m_barra->setNumdoc(m_ctx.sRuc);
    if (m_decl.esNueva()) {
        const QString periodo = Declaracion::periodoAlmacenado(m_mkePeriodo->displayText());
        if (m_decl.existeDeclaracion(m_ctx.sRuc, periodo)) {
            m_tabs->setCurrentIndex(kIdentificacion);
        } else if (!m_mkePeriodo->displayText().contains(u'_')) {
            // A period typed before the taxpayer was chosen becomes the
            // declaration's period now, or the flights would get none.
            m_ctx.sPeriodo = periodo;
            if (m_barra)
                m_barra->setPeriodo_ejercicio(m_mkePeriodo->displayText());
        }
    }
    seguirClave(rucAnterior, periodoAnterior);
    m_txtTelefono->setFocus();
}

void frmFormulario::mostrarRazon(const QString &razon)
{
    // The field takes 40 characters when typed into; a longer name chosen
    // from the register is shown whole, never cut to the limit.
    m_txtRazon->setMaxLength(std::max(kLargoRazon, int(razon.size())));
    m_txtRazon->setText(razon);
}

void frmFormulario::numRucCambiado()
{
    // Only a new declaration types its RUC; the others show it read-only.
    if (m_decl.esNueva()) {
        if (m_barra)
            m_barra->setNumdoc(QString());
        const QString texto = m_txtNumRuc->text();
        if (texto.size() == 11 || texto.size() == 8) {
            if (m_barra)
                m_barra->setNumdoc(texto.trimmed());
            if (!m_ctx.utilidad->validaRuc(texto.trimmed())) {
                if (m_barra)
                    m_barra->setNumdoc(QString());
                m_tabs->setCurrentIndex(kIdentificacion);
                mostrar(QStringLiteral("¡El RUC no es Válido!"));
                m_txtNumRuc->setFocus();
            }
        }
    }
    marcarModificado();
}

void frmFormulario::razonCambiada(const QString &texto)
{
    if (m_barra)
        m_barra->setRazonsocial(texto.trimmed());
    marcarModificado();
}

void frmFormulario::periodoCambiado(bool alSalir)
{
    // Checked when it changes and again when the field is left: once at a
    // time, since a message or a focus change made here leaves the field.
    if (m_revisandoPeriodo)
        return;
    const QString mostrado = m_mkePeriodo->displayText();
    if (mostrado.contains(u'_')) {
        // Leaving a period half typed, or never typed, changes nothing.
        if (!alSalir)
            marcarModificado();
        return;
    }
    m_revisandoPeriodo = true;
    const QString rucAnterior = m_ctx.sRuc;
    const QString periodoAnterior = m_ctx.sPeriodo;
    const QString periodo = Declaracion::periodoAlmacenado(mostrado);
    const QDate hoy = m_ctx.reloj ? m_ctx.reloj->ahora().date() : QDate::currentDate();
    const QString accion = m_decl.sAccion();
    if (accion != Declaracion::kModificar
        && !m_ctx.utilidad->validaPeriodo(mostrado, Declaracion::kPrimerPeriodo, hoy)) {
        m_tabs->setCurrentIndex(kIdentificacion);
        mostrar(QStringLiteral("¡El Periodo tributario no es válido!"));
    } else if (accion == Declaracion::kNueva) {
        const QString ruc = Declaracion::rucDeEntrada(m_cmbRuc->currentText());
        if (ruc.isEmpty()) {
            m_tabs->setCurrentIndex(kIdentificacion);
            mostrar(QStringLiteral("¡Debe Seleccionar un Contribuyente!"));
            m_cmbRuc->setFocus();
        } else if (!m_decl.existeDeclaracion(ruc, periodo)) {
            m_ctx.sPeriodo = periodo;
            m_ctx.sRuc = ruc;
            if (m_barra)
                m_barra->setPeriodo_ejercicio(mostrado);
            marcarModificado();
        } else {
            m_tabs->setCurrentIndex(kIdentificacion);
            if (m_barra)
                m_barra->setPeriodo_ejercicio(Declaracion::periodoMostrado(periodo));
            mostrar(QStringLiteral("El formulario que desea ingresar ya existe, elija la opción Modificar "
                                   "formularios o corrija el período..!!"));
            if (m_mkePeriodo->isEnabled())
                m_mkePeriodo->setFocus();
        }
    } else if (accion == Declaracion::kModificar) {
        m_ctx.sPeriodo = periodo;
        m_ctx.sRuc = m_txtNumRuc->text();
        if (m_barra)
            m_barra->setPeriodo_ejercicio(mostrado);
        marcarModificado();
    } else {
        marcarModificado();
    }
    seguirClave(rucAnterior, periodoAnterior);
    m_revisandoPeriodo = false;
}

void frmFormulario::rectificaElegida(int indice)
{
    if (indice == 1) {
        if (m_ctx.sPeriodo.trimmed().isEmpty()) {
            mostrar(QStringLiteral("Debe ingresar el período a declarar"), Icono::Informacion);
            m_optNo->setChecked(true);
            marcarModificado();
            return;
        }
        if (!m_cargandoRectifica) {
            mostrar(QStringLiteral("Recuerde que debe consignar información en todas las casillas, inclusive "
                                   "aquellas que no está rectificando."),
                    Icono::Informacion);
        }
    }
    marcarModificado();
}

void frmFormulario::pestanaCambiada(int indice)
{
    static const int contextos[3] = {kContextoIdentificacion, kContextoVuelos, kContextoDeuda};
    const int anterior = m_pestanaAnterior;
    m_pestanaAnterior = indice;
    // A sent declaration cannot be corrected, so its identification is not
    // checked: the user may always look at its flights and debt.
    if (anterior == kIdentificacion && indice != kIdentificacion && !m_abriendo && !m_decl.bHistorico()
        && !ValIdent()) {
        m_pestanaAnterior = kIdentificacion;
        m_tabs->setCurrentIndex(kIdentificacion);
        return;
    }
    if (indice >= 0 && indice < 3) {
        fijarContextoAyuda(m_tabs, contextos[indice]);
        fijarContextoAyuda(this, contextos[indice]);
    }
}

DatosIdentificacion frmFormulario::datosIdentificacion() const
{
    return {m_cmbRuc->currentText(), m_txtNumRuc->text(), m_txtTelefono->text(), m_mkePeriodo->displayText()};
}

bool frmFormulario::ValIdent()
{
    const QList<Hallazgo> hallazgos = m_decl.ValIdent(datosIdentificacion());
    if (hallazgos.isEmpty())
        return true;
    const Hallazgo &h = hallazgos.first();
    llevarAHallazgo(h);
    mostrar(h.mensaje);
    return false;
}

void frmFormulario::llevarAHallazgo(const Hallazgo &hallazgo)
{
    m_tabs->setCurrentIndex(kIdentificacion);
    if (hallazgo.regla == Hallazgo::Regla::DeclaracionExiste && m_barra)
        m_barra->setPeriodo_ejercicio(m_mkePeriodo->displayText());
    if (hallazgo.campo != CampoDeclaracion::MkePeriodo || m_mkePeriodo->isEnabled())
        irACampo(hallazgo.campo, hallazgo.casilla);
}

QWidget *frmFormulario::control(CampoDeclaracion campo, const QString &casilla) const
{
    switch (campo) {
    case CampoDeclaracion::CmbRuc:
        return m_cmbRuc;
    case CampoDeclaracion::TxtNumRuc:
        return m_txtNumRuc;
    case CampoDeclaracion::TxtTelefono:
        return m_txtTelefono;
    case CampoDeclaracion::MkePeriodo:
        return m_mkePeriodo;
    case CampoDeclaracion::OptRectifica:
        return m_optSi->isChecked() ? m_optSi : m_optNo;
    case CampoDeclaracion::Casilla:
        return txtValor(casilla);
    case CampoDeclaracion::FormaPago:
        return m_formaPago->opcionCheque()->isChecked() ? m_formaPago->opcionCheque()
                                                         : m_formaPago->opcionEfectivo();
    case CampoDeclaracion::Banco:
        return m_formaPago->listaBancos();
    case CampoDeclaracion::NumCheque:
        return m_formaPago->campoCheque();
    case CampoDeclaracion::Vuelo:
        return m_grdDetalle;
    case CampoDeclaracion::Ninguno:
        break;
    }
    return nullptr;
}

void frmFormulario::irACampo(CampoDeclaracion campo, const QString &casilla)
{
    QWidget *destino = control(campo, casilla);
    if (!destino)
        return;
    for (int i = 0; i < m_tabs->count(); ++i) {
        if (m_tabs->widget(i)->isAncestorOf(destino)) {
            const QSignalBlocker bloqueo(m_tabs);
            m_tabs->setCurrentIndex(i);
            m_pestanaAnterior = i;
            break;
        }
    }
    destino->setFocus();
}

// --- Flights ----------------------------------------------------------------

void frmFormulario::accionVuelo(int indice)
{
    switch (indice) {
    case 0:
        nuevoVuelo();
        break;
    case 1:
        modificarVuelo();
        break;
    case 2:
        eliminarVuelo();
        break;
    case 3:
        importarVuelos();
        break;
    default:
        return;
    }
}

ParametrosVentana frmFormulario::parametrosVuelos(const QString &nombre, const QString &accion)
{
    ParametrosVentana p;
    p.nombre = nombre;
    p.accion = accion;
    p.historico = m_decl.bHistorico();
    p.periodoMostrado = m_mkePeriodo->displayText();
    // Each flight the detail window saves shows at once, with the totals.
    p.alGrabar = [this] { refrescarVuelos(); };
    return p;
}

void frmFormulario::refrescarVuelos()
{
    CargaVuelos();
    TotalizaVuelos();
}

bool frmFormulario::hayFilaElegida(const QString &sinFilas)
{
    if (m_modeloVuelos->rowCount() == 0) {
        mostrar(sinFilas);
        m_cmdAccion[0]->setFocus();
        TotalizaVuelos();
        return false;
    }
    if (!m_grdDetalle->currentIndex().isValid()) {
        mostrar(QStringLiteral("Tiene que Seleccionar un registro"));
        return false;
    }
    return true;
}

void frmFormulario::abrirVentanaVuelos(const ParametrosVentana &parametros)
{
    if (m_ctx.ventanas)
        m_ctx.ventanas->AbrirVentana(parametros, this);
    marcarModificado();
    refrescarVuelos();
}

void frmFormulario::nuevoVuelo()
{
    abrirVentanaVuelos(parametrosVuelos(QStringLiteral("Detalle"), Declaracion::kNueva));
}

void frmFormulario::modificarVuelo()
{
    if (!hayFilaElegida(QStringLiteral("No existen registros para modificar")))
        return;
    ParametrosVentana p = parametrosVuelos(QStringLiteral("Detalle"), Declaracion::kModificar);
    const QSqlRecord fila = m_modeloVuelos->record(m_grdDetalle->currentIndex().row());
    for (const QString &nombre : Declaracion::columnasVuelos()) {
        if (nombre == u"fec_arribo")
            p.fila.insert(nombre, fechaDeArribo(fila));
        else if (nombre != u"num_totpas")
            p.fila.insert(nombre, fila.value(nombre).toString());
    }
    abrirVentanaVuelos(p);
}

void frmFormulario::eliminarVuelo()
{
    if (!hayFilaElegida(QStringLiteral("No existen registros para eliminar")))
        return;
    const QSqlRecord fila = m_modeloVuelos->record(m_grdDetalle->currentIndex().row());
    const bool confirmado = mostrar(QStringLiteral("¿Esta seguro de eliminar el vuelo?"), Icono::Pregunta,
                                    Botones::SiNo, Respuesta::No)
        == Respuesta::Si;
    if (confirmado
        && m_decl.EliminaVuelo(fechaDeArribo(fila), fila.value(QStringLiteral("cod_vuelo")).toString()))
        marcarModificado();
    refrescarVuelos();
}

void frmFormulario::importarVuelos()
{
    abrirVentanaVuelos(parametrosVuelos(QStringLiteral("ImportarVuelos"), Declaracion::kNueva));
}

void frmFormulario::TotalizaVuelos()
{
    // One aggregate query: the count of 395 too, so a long list still
    // being read into the grid is counted whole.
    ErrorBD error;
    if (!m_cajas->TotalizaVuelos(&error))
        informarFallo(QStringLiteral("No se pudieron sumar los vuelos."), error);
}

void frmFormulario::casillaEditada(const QString &casilla)
{
    // What the box's change recomputes has already been shown.
    Q_UNUSED(casilla);
    marcarModificado();
}

void frmFormulario::irABuscar()
{
    m_tabs->setCurrentIndex(kVuelos);
    // Leaving an identification with a fault keeps the user there.
    if (m_tabs->currentIndex() != kVuelos)
        return;
    m_txtBuscar->setFocus(Qt::ShortcutFocusReason);
    m_txtBuscar->selectAll();
}

void frmFormulario::buscarVuelo(bool siguiente)
{
    m_lblNoEncontrado->hide();
    const QString buscado = m_txtBuscar->text();
    if (buscado.trimmed().isEmpty())
        return;
    const QModelIndex actual = m_grdDetalle->currentIndex();
    const int fila = m_modeloVuelos->buscar(buscado, siguiente && actual.isValid() ? actual.row() + 1 : 0);
    if (fila < 0) {
        m_lblNoEncontrado->show();
        return;
    }
    const QModelIndex encontrado = m_modeloTasa->index(fila, Declaracion::kFecArribo);
    m_grdDetalle->setCurrentIndex(encontrado);
    m_grdDetalle->scrollTo(encontrado);
}

// --- Boxes --------------------------------------------------------------------

const Casillas &frmFormulario::casillas() const
{
    return m_cajas->casillas();
}

void frmFormulario::conectarCasillas()
{
    m_cajas = new CasillasVentana(m_decl.datos(), m_ctx.utilidad, this);
    for (auto it = m_casillas.cbegin(); it != m_casillas.cend(); ++it)
        m_cajas->agregar(it.key().toInt(), it.value());
    m_cajas->setImpSoles(m_txtImpSoles);
    m_cajas->setFormaDePago(m_formaPago);
    connect(m_cajas, &CasillasVentana::editada, this,
            [this](int casilla) { casillaEditada(QString::number(casilla)); });
    connect(m_cajas, &CasillasVentana::aviso, this, [this](const QString &texto) { mostrar(texto); });
    connect(m_cajas, &CasillasVentana::pagosPreviosPedidos, this, &frmFormulario::abrirPagosPrevios);
}

void frmFormulario::abrirPagosPrevios()
{
    if (!m_ctx.ventanas)
        return;
    ParametrosVentana p;
    p.nombre = QStringLiteral("ListaPagosPrevios");
    p.accion = m_decl.sAccion();
    p.historico = m_decl.bHistorico();
    p.periodoMostrado = m_mkePeriodo->displayText();
    // A sent declaration is only looked at: its payments are listed, and
    // its box 403 stays as it was sent.
    if (!m_decl.bHistorico())
        p.devolver = [this](const QString &total) { m_cajas->pagosPrevios(total); };
    m_ctx.ventanas->AbrirVentana(p, this);
}

void frmFormulario::colocarColumnaTasa()
{
    QHeaderView *encabezado = m_grdDetalle->horizontalHeader();
    const int tasa = m_modeloTasa->columnaTasa();
    if (tasa >= encabezado->count())
        return;
    const int destino = Declaracion::kMtoDolar + 1;
    if (encabezado->visualIndex(tasa) != destino)
        encabezado->moveSection(encabezado->visualIndex(tasa), destino);
}

// --- Buttons at the foot and closing -------------------------------------------

void frmFormulario::grabarPulsado()
{
    if (m_decl.bHistorico())
        registrarNumeroOrden();
    else
        Grabar();
}

bool frmFormulario::Grabar()
{
    if (!ValIdent())
        return false;
    ResultadoGrabacion r;
    {
        CursorEspera espera;
        r = Grabacion(m_decl).Grabar(datosDeclaracion());
    }
    if (r.ajena) {
        // Two people on one declaration: the later save replaces the other
        // only when its author says so.
        if (mostrar(QStringLiteral("Otro usuario grabó esta declaración mientras usted la modificaba.\n"
                                   "¿Desea reemplazarla con sus cambios?"),
                    Icono::Pregunta, Botones::SiNo, Respuesta::No)
            != Respuesta::Si)
            return false;
        CursorEspera espera;
        r = Grabacion(m_decl).Grabar(datosDeclaracion(), true);
    }
    if (!r.grabada) {
        // Nothing was written: the window and the working copy stay as
        // they are, and the user may try again.
        mostrar(r.textoFallo());
        return false;
    }
    mostrar(r.mensaje, Icono::Exclamacion);
    m_modificado = false;
    if (m_cerrando) {
        m_ctx.sPeriodo.clear(); // the exit routine closes the window now
        return true;
    }
    // Saved once, the declaration is a stored one: its taxpayer and period
    // are fixed and saving again edits the same rows.
    m_decl.setAccion(Declaracion::kModificar);
    CargaIdent();
    m_modificado = false;
    return true;
}

void frmFormulario::Validar()
{
    const ResultadoValidacion r = ValidaTodo(m_decl, ModoValidacion::Archivo, datosDeclaracion(), windowTitle());
    for (const Hallazgo &h : r.hallazgos) {
        if (h.detiene) {
            llevarAHallazgo(h);
            break;
        }
    }
    m_hallazgosReporte = r.lineas();
    m_advertenciasReporte = r.advertencias;
    if (!r.abrirReporte || !m_ctx.ventanas)
        return;
    ParametrosVentana p;
    p.nombre = QStringLiteral("Validar");
    p.accion = m_decl.sAccion();
    p.historico = m_decl.bHistorico();
    p.texto = r.archivo;
    for (const Advertencia &a : r.advertencias)
        p.advertencias << a.mensaje;
    qsizetype elegida = -1;
    p.devolver = [&elegida](const QString &linea) {
        bool ok = false;
        const int n = linea.toInt(&ok);
        elegida = ok ? n : -1;
    };
    m_ctx.ventanas->AbrirVentana(p, this);
    if (elegida < 0)
        return;
    // The findings' lines first, then the warnings.
    const qsizetype advertencia = elegida - m_hallazgosReporte.size();
    if (advertencia >= m_advertenciasReporte.size())
        return;
    if (advertencia < 0) {
        const Hallazgo &h = m_hallazgosReporte.at(elegida);
        irACampo(h.campo, h.casilla);
        m_focoTrasReporte = control(h.campo, h.casilla);
        return;
    }
    const Advertencia &a = m_advertenciasReporte.at(advertencia);
    if (a.campo == CampoDeclaracion::Vuelo)
        seleccionarVuelo(a.fecArribo, a.codVuelo);
    else
        irACampo(a.campo, a.casilla);
    m_focoTrasReporte = control(a.campo, a.casilla);
}

bool frmFormulario::seleccionarVuelo(const QDate &fecha, const QString &codigo)
{
    const int fila = m_modeloVuelos->filaDeVuelo(fecha, codigo);
    if (fila < 0)
        return false;
    irACampo(CampoDeclaracion::Vuelo);
    const QModelIndex indice = m_modeloTasa->index(fila, Declaracion::kFecArribo);
    m_grdDetalle->setCurrentIndex(indice);
    m_grdDetalle->scrollTo(indice, QAbstractItemView::PositionAtCenter);
    return true;
}

void frmFormulario::abrirResumenMes()
{
    if (!m_ctx.ventanas)
        return;
    ParametrosVentana p;
    p.nombre = QStringLiteral("ResumenMes");
    p.accion = m_decl.sAccion();
    p.historico = m_decl.bHistorico();
    p.periodoMostrado = m_mkePeriodo->displayText();
    QDate elegido;
    p.devolver = [&elegido](const QString &fecha) { elegido = QDate::fromString(fecha, Qt::ISODate); };
    m_ctx.ventanas->AbrirVentana(p, this);
    if (elegido.isValid() && seleccionarVuelo(elegido))
        m_focoTrasReporte = m_grdDetalle;
}

DatosDeclaracion frmFormulario::datosDeclaracion() const
{
    DatosDeclaracion d;
    d.identificacion = datosIdentificacion();
    for (auto it = m_casillas.cbegin(); it != m_casillas.cend(); ++it)
        d.casillas.insert(it.key(), it.value()->text());
    d.pago = {m_formaPago->formapago(), m_formaPago->banco(), m_formaPago->numcheque(), m_formaPago->importe()};
    d.rectifica = m_optSi->isChecked();
    return d;
}

void frmFormulario::seguirClave(const QString &rucAnterior, const QString &periodoAnterior)
{
    if (!m_decl.esNueva() || (rucAnterior == m_ctx.sRuc && periodoAnterior == m_ctx.sPeriodo))
        return;
    ErrorBD error;
    if (!m_decl.moverCopiaDeTrabajo(rucAnterior, periodoAnterior, m_ctx.sRuc, m_ctx.sPeriodo, &error)) {
        informarFallo(QStringLiteral("No se pudieron pasar los vuelos y pagos previos al RUC y período elegidos."),
                      error);
        return;
    }
    TotalizaVuelos();
}

bool frmFormulario::ordenValido(const QString &sinLargo, QWidget *focoLargo, const QString &sinVerificador)
{
    const Declaracion::EstadoOrden estado = m_decl.validarOrden(m_txtOrden->text(), m_txtVerifica->text());
    if (estado == Declaracion::EstadoOrden::Valido)
        return true;
    const bool largo = estado == Declaracion::EstadoOrden::LargoIncorrecto;
    mostrar(largo ? sinLargo : sinVerificador);
    (largo ? focoLargo : m_txtVerifica)->setFocus();
    return false;
}

bool frmFormulario::registrarNumeroOrden()
{
    if (!ordenValido(QStringLiteral("     El número de orden no es válido"), m_txtVerifica,
                     QStringLiteral("     El digito Verificador es incorrecto")))
        return false;
    ErrorBD error;
    switch (m_decl.GrabarNumeroOrden(m_txtOrden->text(), &error)) {
    case Declaracion::ResultadoOrden::Grabado:
        mostrar(QStringLiteral("El número de orden fue grabado satisfactoriamente."), Icono::Informacion);
        return true;
    case Declaracion::ResultadoOrden::SinCabecera:
        return true;
    case Declaracion::ResultadoOrden::Fallo:
        informarFallo(QStringLiteral("No se pudo grabar el número de orden."), error);
        return false;
    }
    return false;
}

bool frmFormulario::puedeCerrar()
{
    if (m_decl.bHistorico()) {
        if (!m_ordenCambiado)
            return true;
        if (mostrar(QStringLiteral(" El número de orden ha cambiado. ¿Desea guardar los cambios?"),
                    Icono::Pregunta, Botones::SiNo, Respuesta::Si)
            != Respuesta::Si)
            return true;
        // Checked here with the exit's own messages, then recorded.
        return ordenValido(QStringLiteral("El número de orden es incorrecto"), m_txtOrden,
                           QStringLiteral("Digito verificador incorrecto"))
            && registrarNumeroOrden();
    }
    if (!m_modificado)
        return true;
    switch (mostrar(QStringLiteral("¿El formulario ha sido modificado, desea guardar los cambios?"),
                    Icono::Pregunta, Botones::SiNoCancelar, Respuesta::Si)) {
    case Respuesta::Si:
        m_cerrando = true;
        if (Grabar())
            return true;
        // Not saved: the window stays open as an ordinary one.
        m_cerrando = false;
        return false;
    case Respuesta::No:
        m_cerrando = true;
        return true;
    default:
        return false;
    }
}

void frmFormulario::reject()
{
    if (m_cerrada || puedeCerrar())
        QDialog::reject();
}

void frmFormulario::done(int resultado)
{
    // The status bar and the current period belong to the open declaration.
    m_cerrada = true;
    guardarGeometria(this, objectName());
    if (m_barra) {
        m_barra->setNumdoc(QString());
        m_barra->setRazonsocial(QString());
        m_barra->setPeriodo_ejercicio(QString());
        m_barra->setFormulario(QString());
    }
    m_ctx.sPeriodo.clear();
    QDialog::done(resultado);
}

bool frmFormulario::event(QEvent *evento)
{
    if (evento->type() == QEvent::WindowActivate && m_focoTrasReporte) {
        m_focoTrasReporte->setFocus();
        m_focoTrasReporte = nullptr;
    } else if (evento->type() == QEvent::WindowActivate && !m_modificado) {
        if (m_decl.sAccion() == Declaracion::kModificar && m_mkePeriodo->isEnabled())
            m_mkePeriodo->setFocus();
        else if (m_decl.esNueva())
            m_cmbRuc->setFocus();
    }
    return QDialog::event(evento);
}

bool frmFormulario::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() == QEvent::FocusOut && objeto == m_mkePeriodo
        && esFocoDelUsuario(static_cast<QFocusEvent *>(evento))) {
        periodoCambiado(true);
        return false;
    }
    if (evento->type() != QEvent::KeyPress)
        return QDialog::eventFilter(objeto, evento);
    const auto *tecla = static_cast<QKeyEvent *>(evento);
    const QString texto = tecla->text();
    const bool caracter = !texto.isEmpty() && texto.at(0).unicode() >= 32 && texto.at(0).unicode() != 127
        && !(tecla->modifiers() & (Qt::ControlModifier | Qt::AltModifier));

    if (objeto == m_cmbRuc) {
        // A taxpayer is only picked from the list.
        return caracter;
    }
    if (objeto == m_txtRazon) {
        if (tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter) {
            moverFocoSiguiente(m_txtRazon);
            return true;
        }
        if (!caracter)
            return false;
        const int codigo = texto.at(0).unicode();
        const int resultado = Declaracion::teclaRazonSocial(codigo);
        if (resultado != 0 && resultado != codigo && !m_txtRazon->isReadOnly())
            m_txtRazon->insert(QString(QChar(char16_t(resultado))));
        return resultado != codigo;
    }
    // A key the field's key filter judges (a character, Backspace, Delete,
    // Enter) marks the declaration modified, whether the filter takes it or
    // drops it; a key that only moves (Tab, the arrows, Home, End, Shift)
    // does not: looking at a declaration is not changing it.
    const bool juzgada = caracter || tecla->key() == Qt::Key_Backspace || tecla->key() == Qt::Key_Delete
        || tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter;
    if (juzgada && (objeto == m_txtNumRuc || objeto == m_txtTelefono || objeto == m_mkePeriodo))
        marcarModificado();
    return false;
}

void registrarVentanaFormulario(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra)
{
    registro.registrar(
        QStringLiteral("Formulario"),
        [&contexto, barra](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
            auto ventana = std::make_unique<frmFormulario>(contexto, p, barra, padre);
            ventana->cargar();
            return ventana;
        });
    registrarVentanaResumenMes(registro, contexto);
}

} // namespace kv
