#include "frmcolumnashoja.h"

#include "store/contexto.h"
#include "store/ui/accesible.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kv {

namespace {

// The preview's headings: the print-out's short forms.
const QStringList &titulosVista()
{
    static const QStringList titulos = { QStringLiteral("Fila"), QStringLiteral("Fecha"),
        QStringLiteral("Vuelo"), QStringLiteral("Trip."), QStringLiteral("Pers."), QStringLiteral("Tran."),
        QStringLiteral("Forz."), QStringLiteral("Dipl."), QStringLiteral("Extr."), QStringLiteral("Depo."),
        QStringLiteral("Ante."), QStringLiteral("Comp."), QStringLiteral("Observación") };
    return titulos;
}

const QString kNinguna = QStringLiteral("(ninguna)");

} // namespace

QColor frmColumnasHoja::colorRechazo()
{
    return QColor(0xff, 0xe0, 0xb2);
}

frmColumnasHoja::frmColumnasHoja(
    Contexto &contexto, const ImportacionVuelos &importacion, const QString &ruta, QWidget *padre)
    : QDialog(padre)
    , m_ctx(contexto)
    , m_reglas(importacion.reglas())
    , m_ruta(ruta)
{
    setObjectName(QStringLiteral("frmColumnasHoja"));
    setWindowTitle(QStringLiteral("Columnas de la hoja de cálculo"));

    auto *lblArchivo = new QLabel(QStringLiteral("Archivo : ") + QDir::toNativeSeparators(ruta), this);
    lblArchivo->setWordWrap(true);

    m_lblHoja = new QLabel(QStringLiteral("&Hoja :"), this);
    m_cboHoja = new QComboBox(this);
    m_cboHoja->setObjectName(QStringLiteral("cboHoja"));
    m_lblHoja->setBuddy(m_cboHoja);
    nombrarControl(m_cboHoja, m_lblHoja->text(), QStringLiteral("cboHoja"));

    auto *lblFila = new QLabel(QStringLiteral("Fila de &títulos :"), this);
    m_txtFilaTitulos = new QSpinBox(this);
    m_txtFilaTitulos->setObjectName(QStringLiteral("txtFilaTitulos"));
    m_txtFilaTitulos->setRange(0, int(kFilasHoja));
    m_txtFilaTitulos->setSpecialValueText(QStringLiteral("Ninguna"));
    m_txtFilaTitulos->setKeyboardTracking(false);
    lblFila->setBuddy(m_txtFilaTitulos);
    nombrarControl(m_txtFilaTitulos, lblFila->text(), QStringLiteral("txtFilaTitulos"));

    auto *lblFormato = new QLabel(QStringLiteral("&Fechas escritas como texto :"), this);
    m_cboFormatoFecha = new QComboBox(this);
    m_cboFormatoFecha->setObjectName(QStringLiteral("cboFormatoFecha"));
    for (int f = 0; f < kFormatosFecha; ++f)
        m_cboFormatoFecha->addItem(nombreFormatoFecha(FormatoFecha(f)));
    lblFormato->setBuddy(m_cboFormatoFecha);
    nombrarControl(m_cboFormatoFecha, lblFormato->text(), QStringLiteral("cboFormatoFecha"));

    auto *opciones = new QHBoxLayout;
    opciones->addWidget(m_lblHoja);
    opciones->addWidget(m_cboHoja, 1);
    opciones->addSpacing(12);
    opciones->addWidget(lblFila);
    opciones->addWidget(m_txtFilaTitulos);
    opciones->addSpacing(12);
    opciones->addWidget(lblFormato);
    opciones->addWidget(m_cboFormatoFecha);

    // The eleven fields in two columns, in the text file's order.
    auto *fraColumnas = new QGroupBox(QStringLiteral("Columna de cada dato"), this);
    auto *rejilla = new QGridLayout(fraColumnas);
    const int mitad = (kCamposVuelo + 1) / 2;
    for (int i = 0; i < kCamposVuelo; ++i) {
        auto *etiqueta = new QLabel(titulosCampos()[i] + QStringLiteral(" :"), fraColumnas);
        etiqueta->setWordWrap(true);
        auto *combo = new QComboBox(fraColumnas);
        const QString nombre = QStringLiteral("cboColumna(%1)").arg(i);
        combo->setObjectName(nombre);
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(18);
        etiqueta->setBuddy(combo);
        nombrarControl(combo, etiqueta->text(), nombre);
        m_cboColumna[i] = combo;
        const int fila = i % mitad;
        const int columna = (i / mitad) * 2;
        rejilla->addWidget(etiqueta, fila, columna);
        rejilla->addWidget(combo, fila, columna + 1);
    }
    rejilla->setColumnStretch(0, 1);
    rejilla->setColumnStretch(2, 1);
    rejilla->setHorizontalSpacing(10);

    auto *lblVista = new QLabel(
        QStringLiteral("&Vista previa (las primeras %1 filas, como se importarán) :").arg(kFilasVista), this);
    m_grdVistaPrevia = new QTableWidget(0, titulosVista().size(), this);
    m_grdVistaPrevia->setObjectName(QStringLiteral("grdVistaPrevia"));
    m_grdVistaPrevia->setHorizontalHeaderLabels(titulosVista());
    for (int i = 0; i < kCamposVuelo; ++i)
        m_grdVistaPrevia->horizontalHeaderItem(i + 1)->setToolTip(titulosCampos()[i]);
    m_grdVistaPrevia->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grdVistaPrevia->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grdVistaPrevia->verticalHeader()->setVisible(false);
    m_grdVistaPrevia->horizontalHeader()->setStretchLastSection(true);
    m_grdVistaPrevia->setWordWrap(false);
    lblVista->setBuddy(m_grdVistaPrevia);
    nombrarControl(m_grdVistaPrevia, lblVista->text(), QStringLiteral("grdVistaPrevia"));
    m_lblResumen = new QLabel(this);
    m_lblResumen->setObjectName(QStringLiteral("lblResumen"));

    m_cmdImportarHoja = new QPushButton(QStringLiteral("&Importar"), this);
    m_cmdImportarHoja->setObjectName(QStringLiteral("cmdImportarHoja"));
    m_cmdImportarHoja->setDefault(true);
    m_cmdCancelar = new QPushButton(QStringLiteral("&Cancelar"), this);
    m_cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    m_cmdCancelar->setAutoDefault(false);
    nombrarControl(m_cmdImportarHoja, m_cmdImportarHoja->text(), QStringLiteral("cmdImportarHoja"));
    nombrarControl(m_cmdCancelar, m_cmdCancelar->text(), QStringLiteral("cmdCancelar"));
    connect(m_cmdImportarHoja, &QPushButton::clicked, this, &frmColumnasHoja::cmdImportarHoja_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmColumnasHoja::reject);

    auto *botones = new QHBoxLayout;
    botones->addWidget(m_lblResumen, 1);
    botones->addWidget(m_cmdImportarHoja);
    botones->addWidget(m_cmdCancelar);

    auto *principal = new QVBoxLayout(this);
    principal->addWidget(lblArchivo);
    principal->addLayout(opciones);
    principal->addWidget(fraColumnas);
    principal->addWidget(lblVista);
    principal->addWidget(m_grdVistaPrevia, 1);
    principal->addLayout(botones);

    // A new sheet or heading row is read again; a new column or date
    // format only changes the preview.
    connect(m_cboHoja, &QComboBox::activated, this, [this] { releer(); });
    connect(m_txtFilaTitulos, &QSpinBox::valueChanged, this, [this] { releer(); });
    for (QComboBox *combo : m_cboColumna)
        connect(combo, &QComboBox::currentIndexChanged, this, [this] { mostrarVista(); });
    connect(m_cboFormatoFecha, &QComboBox::currentIndexChanged, this, [this] { mostrarVista(); });

    DimensionarVentana(this, 9600, 15600);
}

bool frmColumnasHoja::leer(const QString &hoja, qint64 filaTitulos)
{
    CursorEspera espera;
    m_muestra = leerMuestra(m_ruta, hoja, filaTitulos, kFilasVista);
    m_error = m_muestra.error;
    return m_muestra.valida();
}

bool frmColumnasHoja::cargar()
{
    // What the taxpayer chose last time, when the file still fits it.
    const MapeosGuardados guardados;
    MapeoHoja mapeo;
    QString hoja;
    qint64 filaTitulos = -1;
    const bool recordado = guardados.leerHoja(m_ctx.sRuc, hoja, filaTitulos);
    if (!recordado || !leer(hoja, filaTitulos)) {
        if (!leer(QString(), -1))
            return false;
    }
    QStringList titulos = m_muestra.titulos;
    while (titulos.size() < m_muestra.columnas)
        titulos << QString();
    if (!recordado || !guardados.leer(m_ctx.sRuc, titulos, m_muestra.columnas, mapeo)) {
        mapeo = MapeoHoja();
        mapeo.columnas = emparejarTitulos(titulos);
    }
    mapeo.hoja = m_muestra.hoja;
    mapeo.filaTitulos = m_muestra.filaTitulos;
    ofrecer(mapeo);
    return true;
}

void frmColumnasHoja::ofrecer(const MapeoHoja &mapeo)
{
    m_llenando = true;
    const bool libro = !m_muestra.hojas.isEmpty();
    m_lblHoja->setVisible(libro);
    m_cboHoja->setVisible(libro);
    m_cboHoja->clear();
    m_cboHoja->addItems(m_muestra.hojas);
    m_cboHoja->setCurrentIndex(int(m_muestra.hojas.indexOf(m_muestra.hoja)));
    m_txtFilaTitulos->setValue(int(mapeo.filaTitulos));
    m_cboFormatoFecha->setCurrentIndex(int(mapeo.formatoFecha));
    for (int i = 0; i < kCamposVuelo; ++i) {
        QComboBox *combo = m_cboColumna[i];
        combo->clear();
        combo->addItem(kNinguna, -1);
        for (int c = 0; c < m_muestra.columnas; ++c) {
            const QString titulo = m_muestra.titulos.value(c).simplified();
            combo->addItem(
                titulo.isEmpty() ? letraColumna(c) : letraColumna(c) + QStringLiteral(": ") + titulo, c);
        }
        combo->setCurrentIndex(std::max(0, combo->findData(mapeo.columnas[i])));
    }
    m_llenando = false;
    mostrarVista();
}

void frmColumnasHoja::releer()
{
    if (m_llenando)
        return;
    const FormatoFecha formato = FormatoFecha(m_cboFormatoFecha->currentIndex());
    if (!leer(m_cboHoja->currentText(), m_txtFilaTitulos->value())) {
        // The file changed under the window: nothing is left to import.
        m_muestra = MuestraHoja();
        m_muestra.error = m_error;
    }
    QStringList titulos = m_muestra.titulos;
    while (titulos.size() < m_muestra.columnas)
        titulos << QString();
    MapeoHoja mapeo;
    mapeo.hoja = m_muestra.hoja;
    mapeo.filaTitulos = m_txtFilaTitulos->value();
    mapeo.formatoFecha = formato;
    mapeo.columnas = emparejarTitulos(titulos);
    ofrecer(mapeo);
}

MapeoHoja frmColumnasHoja::mapeo() const
{
    MapeoHoja m;
    m.hoja = m_muestra.hoja;
    m.filaTitulos = m_txtFilaTitulos->value();
    m.formatoFecha = FormatoFecha(std::max(0, m_cboFormatoFecha->currentIndex()));
    for (int i = 0; i < kCamposVuelo; ++i) {
        const QVariant c = m_cboColumna[i]->currentData();
        m.columnas[i] = c.isValid() ? c.toInt() : -1;
    }
    return m;
}

void frmColumnasHoja::mostrarVista()
{
    if (m_llenando)
        return;
    const MapeoHoja m = mapeo();
    m_vista = vistaPrevia(m_muestra, m, m_reglas);
    m_grdVistaPrevia->setRowCount(int(m_vista.size()));
    int rechazadas = 0;
    for (int f = 0; f < m_vista.size(); ++f) {
        const FilaVistaPrevia &v = m_vista.at(f);
        const bool rechazada = !v.error.isEmpty();
        rechazadas += rechazada;
        QStringList textos { QString::number(v.fila) };
        for (const QString &campo : v.campos)
            textos << QString(campo).replace(u'\n', u' ');
        textos << v.error.trimmed();
        for (int c = 0; c < textos.size(); ++c) {
            auto *item = new QTableWidgetItem(textos.at(c));
            if (c == 0 || (c >= 3 && c <= kCamposVuelo))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (rechazada) {
                item->setBackground(colorRechazo());
                item->setForeground(QColor(Qt::black));
            }
            m_grdVistaPrevia->setItem(f, c, item);
        }
    }
    m_grdVistaPrevia->resizeColumnsToContents();
    const bool hayColumna = std::any_of(m.columnas.begin(), m.columnas.end(), [](int c) { return c >= 0; });
    m_cmdImportarHoja->setEnabled(hayColumna && m_muestra.valida());
    if (!m_muestra.valida())
        m_lblResumen->setText(m_muestra.error);
    else if (m_vista.isEmpty())
        m_lblResumen->setText(QStringLiteral("No hay filas con datos debajo de la fila de títulos."));
    else
        m_lblResumen->setText(QStringLiteral("En la vista previa: %1 filas se importan, %2 se rechazan.")
                                  .arg(m_vista.size() - rechazadas)
                                  .arg(rechazadas));
}

void frmColumnasHoja::cmdImportarHoja_Click()
{
    if (!m_cmdImportarHoja->isEnabled())
        return;
    QStringList titulos = m_muestra.titulos;
    const MapeoHoja m = mapeo();
    MapeosGuardados().guardar(m_ctx.sRuc, m, titulos);
    accept();
}

} // namespace kv
