#include "frmimprimeform.h"

#include "frmimpxpag.h"
#include "frmpreview.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/texto.h"
#include "store/ui/accesible.h"
#include "store/ui/barraestadoqdl.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace kv {

namespace {

const char16_t *const kTitulos[FrmImprimeForm::kColumnas] = {
    u"RUC", u"Razón Social", u"Período", u"Período", u"Formulario",
    u"N.Orden", u"Fecha Envio", u"Control", u"Corr", u"Estado",
};

// The list's rows as the grid shows them: the period through the mask
// "0#/####", the date sent as dd/mm/yyyy.
class ModeloImprimeForm : public QSqlQueryModel
{
public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex &indice, int rol) const override
    {
        if (rol == Qt::ToolTipRole && indice.column() == FrmImprimeForm::kNombre)
            return QSqlQueryModel::data(indice, Qt::DisplayRole).toString().trimmed();
        const QVariant v = QSqlQueryModel::data(indice, rol);
        if (rol != Qt::DisplayRole || v.isNull())
            return v;
        if (indice.column() == FrmImprimeForm::kPeriodoF)
            return formato(QStringView(v.toString()), u"0#/####");
        if (indice.column() == FrmImprimeForm::kFechaEnvio)
            return fechaMostrada(v);
        return v;
    }

    QVariant headerData(int seccion, Qt::Orientation orientacion, int rol) const override
    {
        if (orientacion == Qt::Horizontal && rol == Qt::DisplayRole && seccion >= 0
            && seccion < FrmImprimeForm::kColumnas)
            return QString::fromUtf16(kTitulos[seccion]);
        return QSqlQueryModel::headerData(seccion, orientacion, rol);
    }

    Qt::ItemFlags flags(const QModelIndex &indice) const override
    {
        return indice.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
};

} // namespace

FrmImprimeForm::FrmImprimeForm(Contexto &contexto, const ParametrosVentana &parametros, BarradeEstadoQDL *barra,
                               FabricaImpresora fabrica, QWidget *padre)
    : QDialog(padre),
      m_ctx(contexto),
      m_datos(contexto),
      m_fabrica(std::move(fabrica)),
      m_barra(barra),
      m_sAccion(parametros.accion),
      m_bHistorico(parametros.historico)
{
    setObjectName(QStringLiteral("FrmImprimeForm"));
    setWindowTitle(QStringLiteral("Imprimir "));

    m_modelo = new ModeloImprimeForm(this);
    m_grdContrib = new QTableView(this);
    m_grdContrib->setObjectName(QStringLiteral("grdContrib"));
    prepararGrillaLista(m_grdContrib, m_modelo);
    m_grdContrib->installEventFilter(this);
    connect(m_grdContrib, &QTableView::doubleClicked, this, [this](const QModelIndex &i) {
        if (i.isValid())
            preliminar();
    });
    connect(m_grdContrib->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { mostrarFila(); });

    m_marco = new QGroupBox(QStringLiteral("Declaraciones registradas"), this);
    m_marco->setObjectName(QStringLiteral("Frame1"));
    auto *enMarco = new QVBoxLayout(m_marco);
    enMarco->addWidget(m_grdContrib);

    m_chkAnexo = new QCheckBox(QStringLiteral("Con Anexos"), this);
    m_chkAnexo->setObjectName(QStringLiteral("ChkAnexo"));
    m_chkAnexo->setChecked(false);

    const QString textos[3] = {QStringLiteral("&Preliminar"), QStringLiteral("&Imprimir"), QStringLiteral("&Salir")};
    auto *botones = new QHBoxLayout;
    botones->addWidget(m_chkAnexo);
    botones->addStretch(1);
    for (int i = 0; i < 3; ++i) {
        m_cmdImprimir[i] = new QPushButton(textos[i], this);
        m_cmdImprimir[i]->setObjectName(QStringLiteral("CmdImprimir%1").arg(i));
        m_cmdImprimir[i]->setAutoDefault(false);
        nombrarControl(m_cmdImprimir[i], textos[i], QStringLiteral("CmdImprimir(%1)").arg(i));
        botones->addWidget(m_cmdImprimir[i]);
    }
    connect(m_cmdImprimir[0], &QPushButton::clicked, this, &FrmImprimeForm::preliminar);
    connect(m_cmdImprimir[1], &QPushButton::clicked, this, &FrmImprimeForm::imprimir);
    connect(m_cmdImprimir[2], &QPushButton::clicked, this, &QDialog::reject);
    nombrarControl(m_chkAnexo, m_chkAnexo->text(), QStringLiteral("ChkAnexo"));

    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_marco, 1);
    columna->addLayout(botones);
}

FrmImprimeForm::~FrmImprimeForm() = default;

void FrmImprimeForm::cargar()
{
    auto ancho = [this](int columna, int twips) { m_grdContrib->setColumnWidth(columna, twipsAPixeles(this, twips)); };
    if (m_bHistorico) {
        setWindowTitle(QStringLiteral("Imprimir Formularios enviados"));
        fijarContextoAyuda(this, kContextoEnviadas);
        m_marco->setTitle(QStringLiteral("Declaraciones Enviadas"));
        DimensionarVentana(this, 4500, 10900);
    } else {
        fijarContextoAyuda(this, kContextoGuardadas);
        DimensionarVentana(this, 4500, 8800);
    }
    nombrarControl(m_grdContrib, m_marco->title(), QStringLiteral("grdContrib"));

    ErrorBD error = cargarModelo(m_modelo, m_ctx.db(), ReporteFormulario::consultaLista(m_datos, m_bHistorico));
    if (error.hay() && m_ctx.mensajes)
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("Error Número : %1\n%2").arg(error.numero).arg(error.texto),
                                Icono::Critico);

    for (int c = 0; c < kColumnas; ++c) {
        const bool oculta = m_bHistorico ? (c == kPeriodo || c == kEstado) : (c == kPeriodo || c >= kFormulario);
        m_grdContrib->setColumnHidden(c, oculta);
    }
    ancho(kRuc, 1300);
    if (m_bHistorico) {
        ancho(kNombre, 2700);
        ancho(kPeriodoF, 900);
        ancho(kFormulario, 1000);
        ancho(kNumOrden, 1100);
        ancho(kFechaEnvio, 1200);
        ancho(kControl, 1000);
        ancho(kCorrel, 600);
    } else {
        ancho(kNombre, 5000);
        ancho(kPeriodoF, 1000);
    }
    // The name keeps its width and shows the rest on hover.
    ensancharColumnas(m_grdContrib, kNombre);

    const bool hay = m_modelo->rowCount() > 0;
    m_grdContrib->setEnabled(hay);
    if (hay)
        m_grdContrib->setCurrentIndex(m_modelo->index(0, kRuc));
    mostrarFila();
}

QString FrmImprimeForm::valor(int fila, int columna) const
{
    return m_modelo->QSqlQueryModel::data(m_modelo->index(fila, columna)).toString();
}

bool FrmImprimeForm::hayFila() const
{
    return m_grdContrib->isEnabled() && m_modelo->rowCount() > 0 && m_grdContrib->currentIndex().isValid();
}

DeclaracionImpresion FrmImprimeForm::declaracionActual() const
{
    DeclaracionImpresion d;
    if (!hayFila())
        return d;
    const int f = m_grdContrib->currentIndex().row();
    d.ruc = recortarBlancos(valor(f, kRuc));
    d.razonSocial = recortarBlancos(valor(f, kNombre));
    d.periodo = valor(f, kPeriodo);
    d.historico = m_bHistorico;
    if (m_bHistorico) {
        d.correl = valor(f, kCorrel);
        d.numOrden = valor(f, kNumOrden);
        d.numControl = valor(f, kControl);
    }
    d.conAnexos = m_chkAnexo->isChecked();
    return d;
}

void FrmImprimeForm::mostrarFila()
{
    if (!m_barra)
        return;
    if (!hayFila()) {
        m_barra->setNumdoc(QString());
        m_barra->setRazonsocial(QString());
        m_barra->setPeriodo_ejercicio(QString());
        return;
    }
    const int f = m_grdContrib->currentIndex().row();
    m_barra->setNumdoc(recortarBlancos(valor(f, kRuc)));
    m_barra->setRazonsocial(recortarBlancos(valor(f, kNombre)));
    m_barra->setPeriodo_ejercicio(m_modelo->index(f, kPeriodoF).data().toString());
    m_barra->setFormulario(valor(f, kFormulario));
}

bool FrmImprimeForm::construirReporte()
{
    m_archivo.clear();
    m_paginas = 0;
    ReporteFormulario::Resultado r;
    {
        CursorEspera espera;
        ReporteFormulario reporte(m_datos);
        r = reporte.generar(declaracionActual());
    }
    if (!r.correcto()) {
        if (m_ctx.mensajes)
            m_ctx.mensajes->mostrar(windowTitle(), r.error, Icono::Critico);
        return false;
    }
    m_archivo = r.archivo;
    m_paginas = r.paginas;
    return true;
}

void FrmImprimeForm::imprimir()
{
    if (!hayFila() || !construirReporte())
        return;
    AbrePreview(m_ctx, m_archivo, QStringLiteral("FILE"), m_paginas, 1, m_paginas, this, m_fabrica);
    m_grdContrib->setFocus();
}

void FrmImprimeForm::preliminar()
{
    if (!hayFila())
        return;
    const QModelIndex posicion = m_grdContrib->currentIndex();
    if (!construirReporte())
        return;
    ParametrosVentana p;
    p.nombre = QStringLiteral("ImprimirxPaginas");
    p.accion = m_sAccion;
    p.historico = m_bHistorico;
    p.texto = m_archivo;
    p.paginas = m_paginas;
    if (m_ctx.ventanas && m_ctx.ventanas->contiene(p.nombre)) {
        m_ctx.ventanas->AbrirVentana(p, this);
    } else {
        frmImpxPag rango(m_ctx, m_fabrica, this);
        rango.nTotPaginas = m_paginas;
        rango.sNombreRep = m_archivo;
        rango.cargar();
        rango.exec();
    }
    QCoreApplication::processEvents();
    if (m_grdContrib->model()) {
        m_grdContrib->setCurrentIndex(posicion);
        m_grdContrib->setFocus();
    }
}

void FrmImprimeForm::done(int resultado)
{
    m_grdContrib->setModel(nullptr);
    QDialog::done(resultado);
}

bool FrmImprimeForm::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_grdContrib && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            preliminar();
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

} // namespace kv
