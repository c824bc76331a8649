#include "frmabrirform.h"

#include "modelodeclaraciones.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/listas.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

FrmAbrirForm::FrmAbrirForm(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                           QWidget *padre)
    : QDialog(padre),
      m_ctx(contexto),
      m_datos(contexto),
      m_lista(m_datos, parametros.historico),
      m_barra(barra),
      m_sAccion(parametros.accion),
      m_bHistorico(parametros.historico)
{
    setObjectName(QStringLiteral("FrmAbrirForm"));
    // The texts the window is designed with; the action changes some.
    setWindowTitle(QStringLiteral("Modificar Formulario"));

    m_label1 = new QLabel(QStringLiteral("Seleccione la Declaración  que desea modificar :"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));

    m_modelo = new ModeloDeclaraciones(this);
    m_grdContrib = new QTableView(this);
    m_grdContrib->setObjectName(QStringLiteral("grdContrib"));
    prepararGrillaLista(m_grdContrib, m_modelo);
    m_grdContrib->installEventFilter(this);
    connect(m_grdContrib, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            aceptar();
    });
    connect(m_grdContrib->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { mostrarFila(); });

    m_fradecreg = new QGroupBox(QStringLiteral("Declaraciones Registradas"), this);
    m_fradecreg->setObjectName(QStringLiteral("fradecreg"));
    auto *marco = new QVBoxLayout(m_fradecreg);
    marco->addWidget(m_grdContrib);

    m_cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_cmdAceptar->setObjectName(QStringLiteral("cmdOpciones0"));
    m_cmdAceptar->setDefault(true);
    m_cmdSalir = new QPushButton(QStringLiteral("&Salir"), this);
    m_cmdSalir->setObjectName(QStringLiteral("cmdOpciones1"));
    connect(m_cmdAceptar, &QPushButton::clicked, this, &FrmAbrirForm::aceptar);
    connect(m_cmdSalir, &QPushButton::clicked, this, &FrmAbrirForm::salir);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_cmdAceptar);
    botones->addWidget(m_cmdSalir);
    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_label1);
    columna->addWidget(m_fradecreg, 1);
    columna->addLayout(botones);
}

FrmAbrirForm::~FrmAbrirForm() = default;

void FrmAbrirForm::cargar()
{
    DimensionarVentana(this, 4485, 8505);
    fijarContextoAyuda(this, kContextoGuardadas);
    if (m_sAccion == u"DEL") {
        setWindowTitle(QStringLiteral("Eliminar Formularios"));
        m_label1->setText(QStringLiteral("Seleccione la Declaración que desea eliminar :"));
        m_cmdAceptar->setText(QStringLiteral("&Eliminar"));
    } else if (m_sAccion == u"MOD") {
        m_cmdAceptar->setText(QStringLiteral("&Modificar"));
    }

    using M = ModeloDeclaraciones;
    auto ancho = [this](int columna, int twips) { m_grdContrib->setColumnWidth(columna, twipsAPixeles(this, twips)); };
    if (m_bHistorico) {
        DimensionarVentana(this, 4530, 8800);
        fijarContextoAyuda(this, kContextoEnviadas);
        m_fradecreg->setTitle(QStringLiteral("Declaraciones Enviadas"));
        for (int c = 0; c < M::kColumnas; ++c)
            m_grdContrib->setColumnHidden(c, c == M::kEstado || c == M::kOrden);
        ancho(M::kRuc, 1300);
        ancho(M::kNombre, 2400);
        ancho(M::kPeriodo, 900);
        ancho(M::kFormulario, 1000);
        ancho(M::kNumOrden, 1300);
        ancho(M::kFechaEnvio, 1200);
        ancho(M::kControl, 1200);
        ancho(M::kCorrel, 1100);
        ancho(M::kRectifica, 900);
    } else {
        DimensionarVentana(this, 4455, 8475);
        for (int c = 0; c < M::kColumnas; ++c)
            m_grdContrib->setColumnHidden(c, c >= M::kNumOrden);
        m_grdContrib->setFixedWidth(twipsAPixeles(this, 7695));
        ancho(M::kRuc, 1300);
        ancho(M::kNombre, 3300);
        ancho(M::kPeriodo, 900);
        ancho(M::kFormulario, 1000);
        ancho(M::kEstado, 700);
    }
    nombrarControl(m_grdContrib, m_fradecreg->title(), QStringLiteral("grdContrib"));
    nombrarControl(m_cmdAceptar, m_cmdAceptar->text(), QStringLiteral("cmdOpciones(0)"));
    nombrarControl(m_cmdSalir, m_cmdSalir->text(), QStringLiteral("cmdOpciones(1)"));
    recargar();
    // The name keeps its width and shows the rest on hover.
    ensancharColumnas(m_grdContrib, M::kNombre);
}

void FrmAbrirForm::recargar()
{
    // The declaration shown before (or, once it is gone, the row that took
    // its place) stays current.
    const int filaAnterior = m_grdContrib->currentIndex().isValid() ? m_grdContrib->currentIndex().row() : 0;
    const DeclaracionElegida anterior = filaActual();

    ErrorBD error;
    if (!m_modelo->cargar(m_ctx.db(), m_lista.consulta(), &error) && m_ctx.mensajes) {
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("Error Número : ") + QString::number(error.numero) + u'\n'
                                    + error.texto,
                                Icono::Critico);
    }
    const int filas = m_modelo->rowCount();
    m_grdContrib->setEnabled(filas > 0);
    if (filas == 0) {
        mostrarFila();
        return;
    }
    int fila = qMin(filaAnterior, filas - 1);
    if (!anterior.docId.isEmpty()) {
        using M = ModeloDeclaraciones;
        for (int f = 0; f < filas; ++f) {
            if (m_modelo->valor(f, M::kRuc) == anterior.docId
                && ListaDeclaraciones::periodoAlmacenado(m_modelo->valor(f, M::kPeriodo)) == anterior.periodo
                && m_modelo->valor(f, M::kFormulario) == anterior.formulario
                && m_modelo->valor(f, M::kCorrel).trimmed() == anterior.correl) {
                fila = f;
                break;
            }
        }
    }
    seleccionar(fila);
}

void FrmAbrirForm::seleccionar(int fila)
{
    const QModelIndex indice = m_modelo->index(fila, ModeloDeclaraciones::kRuc);
    m_grdContrib->setCurrentIndex(indice);
    m_grdContrib->scrollTo(indice);
    mostrarFila();
}

DeclaracionElegida FrmAbrirForm::filaActual() const
{
    const QModelIndex actual = m_grdContrib->currentIndex();
    if (!actual.isValid() || m_modelo->rowCount() == 0)
        return {};
    using M = ModeloDeclaraciones;
    const int f = actual.row();
    DeclaracionElegida d;
    d.docId = m_modelo->valor(f, M::kRuc);
    d.razonSocial = m_modelo->valor(f, M::kNombre).trimmed();
    d.periodo = ListaDeclaraciones::periodoAlmacenado(m_modelo->valor(f, M::kPeriodo));
    d.formulario = m_modelo->valor(f, M::kFormulario);
    d.correl = m_modelo->valor(f, M::kCorrel).trimmed();
    d.numOrden = m_modelo->valor(f, M::kNumOrden);
    d.numControl = m_modelo->valor(f, M::kControl);
    return d;
}

void FrmAbrirForm::mostrarFila()
{
    const QModelIndex actual = m_grdContrib->currentIndex();
    if (!actual.isValid() || m_modelo->rowCount() == 0) {
        if (m_barra) {
            m_barra->setNumdoc(QString());
            m_barra->setRazonsocial(QString());
            m_barra->setPeriodo_ejercicio(QString());
        }
        return;
    }
    const DeclaracionElegida d = filaActual();
    m_ctx.sRuc = d.ruc();
    m_ctx.sRazonSocial = d.razonSocial;
    m_ctx.sPeriodo = d.periodo;
    if (m_barra) {
        m_barra->setNumdoc(d.ruc());
        m_barra->setRazonsocial(d.razonSocial);
        m_barra->setPeriodo_ejercicio(
            m_modelo->data(m_modelo->index(actual.row(), ModeloDeclaraciones::kPeriodo)).toString());
        m_barra->setFormulario(d.formulario);
    }
}

void FrmAbrirForm::leerFila()
{
    const DeclaracionElegida d = filaActual();
    if (d.docId.isEmpty() && d.periodo.isEmpty())
        return;
    m_ctx.sRuc = d.ruc();
    m_ctx.sPeriodo = d.periodo;
    m_ctx.sRazonSocial = d.razonSocial;
    m_correl = d.correl;
}

void FrmAbrirForm::aceptar()
{
    leerFila();
    if (!m_grdContrib->isEnabled() || m_modelo->rowCount() == 0 || !m_grdContrib->currentIndex().isValid())
        return;
    const DeclaracionElegida fila = filaActual();
    if (m_sAccion == u"DEL") {
        eliminar(fila);
        return;
    }
    ParametrosVentana p;
    p.nombre = QStringLiteral("Formulario");
    p.accion = m_sAccion;
    p.historico = m_bHistorico;
    p.texto = m_correl;
    if (m_sAccion == u"REG") {
        p.numOrden = fila.numOrden;
        p.numControl = fila.numControl;
    }
    if (m_ctx.ventanas)
        m_ctx.ventanas->AbrirVentana(p, this);
    recargar();
    m_grdContrib->setFocus();
}

void FrmAbrirForm::eliminar(const DeclaracionElegida &fila)
{
    if (!m_ctx.mensajes)
        return;
    if (m_ctx.mensajes->mostrar(QStringLiteral("Eliminar Formulario"),
                                QStringLiteral("Se eliminarán todos los registros de la declaración "),
                                Icono::Exclamacion, Botones::AceptarCancelar, Respuesta::Cancelar)
        != Respuesta::Aceptar) {
        m_grdContrib->setFocus();
        return;
    }
    if (m_ctx.mensajes->mostrar(windowTitle(), QStringLiteral("¿Confirma que va a eliminar la declaración?"),
                                Icono::Pregunta, Botones::SiNo, Respuesta::No)
        != Respuesta::Si) {
        m_grdContrib->setFocus();
        return;
    }
    // A failure has shown its message and left every row in place; either
    // way the list shows what is stored now.
    m_lista.eliminar(fila);
    recargar();
    m_grdContrib->setFocus();
}

void FrmAbrirForm::salir()
{
    reject();
}

void FrmAbrirForm::done(int resultado)
{
    m_grdContrib->setModel(nullptr);
    if (m_barra) {
        m_barra->setNumdoc(QString());
        m_barra->setRazonsocial(QString());
        m_barra->setPeriodo_ejercicio(QString());
        m_barra->setFormulario(QString());
    }
    QDialog::done(resultado);
}

bool FrmAbrirForm::event(QEvent *evento)
{
    if (evento->type() == QEvent::WindowActivate && m_grdContrib->isEnabled() && m_grdContrib->model()) {
        recargar();
        m_grdContrib->setFocus();
    }
    return QDialog::event(evento);
}

bool FrmAbrirForm::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_grdContrib && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            aceptar();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void registrarVentanasListaFormularios(RegistroVentanas &registro, Contexto &contexto, BarradeEstadoQDL *barra)
{
    registro.registrar(QStringLiteral("ListaFormularios"),
                       [&contexto, barra](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
                           auto ventana = std::make_unique<FrmAbrirForm>(contexto, p, barra, padre);
                           ventana->cargar();
                           return ventana;
                       });
}

} // namespace kv
