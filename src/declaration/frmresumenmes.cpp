#include "frmresumenmes.h"

#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/ui/accesible.h"
#include "store/ui/cursorespera.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QClipboard>
#include <QCursor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QScreen>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>

namespace kv {

namespace {

const QString kMiles = QStringLiteral("###,###,###,##0");

QString miles(std::int64_t n)
{
    return formato(Decimal::entero(n), kMiles);
}

QString dolares(const Decimal &d)
{
    return formato(d, kMiles);
}

// The tallest figure on an axis, rounded up so that the axis ends on a
// round number of its ticks.
double techo(double maximo)
{
    return maximo <= 0 ? 10 : maximo * 1.1;
}

enum Columna { kDia, kVuelos, kAfectos, kAnterior, kDolares, kAdvertencia, kColumnas };

} // namespace

FrmResumenMes::FrmResumenMes(Contexto &contexto, QWidget *padre) : QDialog(padre), m_ctx(contexto)
{
    setObjectName(QStringLiteral("FrmResumenMes"));
    setWindowTitle(kTitulo);

    m_titulo = new QLabel(this);
    m_titulo->setWordWrap(true);
    m_grafico = new QChartView(this);
    m_grafico->setObjectName(QStringLiteral("chtResumen"));
    m_grafico->setRenderHint(QPainter::Antialiasing);
    m_grafico->setMinimumHeight(300);
    nombrarControl(m_grafico, QStringLiteral("Gráfico del mes"), QStringLiteral("chtResumen"));

    auto *lblTabla = new QLabel(QStringLiteral("Cifras por día :"), this);
    m_tabla = new QTableWidget(0, kColumnas, this);
    m_tabla->setObjectName(QStringLiteral("grdResumen"));
    m_tabla->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tabla->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tabla->setTabKeyNavigation(false);
    m_tabla->verticalHeader()->hide();
    m_tabla->verticalHeader()->setDefaultSectionSize(m_tabla->fontMetrics().height() + 6);
    m_tabla->horizontalHeader()->setStretchLastSection(true);
    m_tabla->installEventFilter(this);
    lblTabla->setBuddy(m_tabla);
    nombrarControl(m_tabla, lblTabla->text(), QStringLiteral("grdResumen"));
    connect(m_tabla, &QTableWidget::cellDoubleClicked, this, [this](int fila, int) { elegirDia(fila); });

    m_copiar = new QPushButton(QStringLiteral("&Copiar"), this);
    m_copiar->setObjectName(QStringLiteral("cmdCopiar"));
    m_copiar->setAutoDefault(false);
    nombrarControl(m_copiar, m_copiar->text(), QStringLiteral("cmdCopiar"));
    connect(m_copiar, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(textoTabla()); });
    m_cerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    m_cerrar->setObjectName(QStringLiteral("cmdCerrar"));
    m_cerrar->setAutoDefault(false);
    nombrarControl(m_cerrar, m_cerrar->text(), QStringLiteral("cmdCerrar"));
    connect(m_cerrar, &QPushButton::clicked, this, &QDialog::reject);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_copiar);
    botones->addWidget(m_cerrar);
    auto *principal = new QVBoxLayout(this);
    principal->addWidget(m_titulo);
    principal->addWidget(m_grafico, 3);
    principal->addWidget(lblTabla);
    principal->addWidget(m_tabla, 2);
    principal->addLayout(botones);

    QSize tamano(960, 760);
    if (const QScreen *pantalla = screen())
        tamano = tamano.boundedTo(pantalla->availableSize());
    resize(tamano);
}

void FrmResumenMes::cargar()
{
    CursorEspera espera;
    AccesoDatos acceso(m_ctx);
    Advertencias advertencias(acceso);
    ErrorBD error;
    const bool leido = advertencias.leer(&error);
    m_dias = advertencias.dias(advertencias.revisarVuelos());
    m_periodoAnterior
        = advertencias.hayPeriodoAnterior() ? Declaracion::periodoMostrado(advertencias.periodoAnterior()) : QString();
    const QString periodo = Declaracion::periodoMostrado(advertencias.periodo());
    if (m_dias.isEmpty())
        m_titulo->setText(QStringLiteral("Elija el RUC y el período de la declaración para ver su resumen."));
    else
        m_titulo->setText(
        QStringLiteral("Pasajeros comprendidos por día de arribo, período %1. %2")
            .arg(periodo,
                 m_periodoAnterior.isEmpty()
                     ? QStringLiteral("No hay declaración del mes anterior para comparar.")
                     : QStringLiteral("La línea discontinua es el mismo día de %1.").arg(m_periodoAnterior)));
    dibujar();
    llenarTabla();
    if (!leido && m_ctx.mensajes)
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("No se pudieron leer las cifras del mes.\nError Número : %1\n%2")
                                    .arg(error.numero)
                                    .arg(error.texto),
                                Icono::Critico);
}

void FrmResumenMes::dibujar()
{
    auto *grafico = new QChart;
    grafico->setAnimationOptions(QChart::NoAnimation);
    grafico->legend()->setAlignment(Qt::AlignBottom);
    grafico->setMargins(QMargins(4, 4, 4, 4));
    grafico->setLocalizeNumbers(true);

    // One bar a day: the day's figure goes in the set of its colour, the
    // other set holds 0 there, so that the legend names both.
    auto *normales = new QBarSet(QStringLiteral("Pasajeros comprendidos"));
    auto *advertidos = new QBarSet(QStringLiteral("Día con advertencias"));
    normales->setColor(QColor(0x3b, 0x6e, 0xa5));
    normales->setBorderColor(QColor(0x3b, 0x6e, 0xa5));
    advertidos->setColor(kColorAdvertencia);
    advertidos->setBorderColor(kColorAdvertencia);
    auto *anterior = new QLineSeries;
    anterior->setName(m_periodoAnterior.isEmpty() ? QString()
                                                  : QStringLiteral("Mismo día de %1").arg(m_periodoAnterior));
    // Dark, dashed and with a point a day: it stays visible where it runs
    // along the tops of the bars.
    QPen trazo(QColor(0x30, 0x30, 0x30));
    trazo.setWidth(2);
    trazo.setStyle(Qt::DashLine);
    anterior->setPen(trazo);
    anterior->setPointsVisible(true);
    auto *impuesto = new QLineSeries;
    impuesto->setName(QStringLiteral("Impuesto del día (US$, eje derecho)"));
    QPen trazoImpuesto(QColor(0x2e, 0x8b, 0x57));
    trazoImpuesto.setWidth(2);
    impuesto->setPen(trazoImpuesto);
    impuesto->setPointsVisible(true);

    QStringList dias;
    double maximo = 0;
    double maximoDolares = 0;
    for (int i = 0; i < m_dias.size(); ++i) {
        const DiaDelMes &d = m_dias.at(i);
        dias << QString::number(d.fecha.day());
        const auto afectos = double(d.afectos);
        *normales << (d.advertido ? 0.0 : afectos);
        *advertidos << (d.advertido ? afectos : 0.0);
        maximo = std::max(maximo, afectos);
        if (d.afectosAnterior) {
            anterior->append(i, double(*d.afectosAnterior));
            maximo = std::max(maximo, double(*d.afectosAnterior));
        }
        const double usd = d.dolares.texto().toDouble();
        impuesto->append(i, usd);
        maximoDolares = std::max(maximoDolares, usd);
    }
    auto *barras = new QStackedBarSeries;
    barras->append(normales);
    barras->append(advertidos);
    barras->setBarWidth(0.8);
    grafico->addSeries(barras);
    if (!m_periodoAnterior.isEmpty())
        grafico->addSeries(anterior);
    else
        delete anterior;
    grafico->addSeries(impuesto);

    auto *ejeDias = new QBarCategoryAxis;
    ejeDias->append(dias);
    ejeDias->setTitleText(QStringLiteral("Día de arribo"));
    auto *ejePasajeros = new QValueAxis;
    ejePasajeros->setRange(0, techo(maximo));
    ejePasajeros->setLabelFormat(QStringLiteral("%.0f"));
    ejePasajeros->setTitleText(QStringLiteral("Pasajeros comprendidos"));
    ejePasajeros->applyNiceNumbers();
    auto *ejeDolares = new QValueAxis;
    ejeDolares->setRange(0, techo(maximoDolares));
    ejeDolares->setLabelFormat(QStringLiteral("%.0f"));
    ejeDolares->setTitleText(QStringLiteral("Impuesto ( $ )"));
    ejeDolares->applyNiceNumbers();
    grafico->addAxis(ejeDias, Qt::AlignBottom);
    grafico->addAxis(ejePasajeros, Qt::AlignLeft);
    grafico->addAxis(ejeDolares, Qt::AlignRight);
    for (QAbstractSeries *serie : grafico->series()) {
        serie->attachAxis(ejeDias);
        serie->attachAxis(serie == impuesto ? ejeDolares : ejePasajeros);
    }
    connect(barras, &QStackedBarSeries::clicked, this, [this](int indice, QBarSet *) { elegirDia(indice); });
    connect(barras, &QStackedBarSeries::hovered, this,
            [this](bool encima, int indice, QBarSet *) { mostrarDia(encima, indice); });

    QChart *anteriorGrafico = m_grafico->chart();
    m_grafico->setChart(grafico);
    delete anteriorGrafico;
}

void FrmResumenMes::llenarTabla()
{
    m_tabla->clear();
    m_tabla->setHorizontalHeaderLabels(
        {QStringLiteral("Día"), QStringLiteral("Vuelos"), QStringLiteral("Pasajeros comprendidos"),
         m_periodoAnterior.isEmpty() ? QStringLiteral("Mismo día del mes anterior")
                                     : QStringLiteral("Mismo día de %1").arg(m_periodoAnterior),
         QStringLiteral("Impuesto ( $ )"), QStringLiteral("Advertencia")});
    m_tabla->setRowCount(int(m_dias.size()) + 1);
    auto poner = [this](int fila, int columna, const QString &texto, bool derecha = true) {
        auto *celda = new QTableWidgetItem(texto);
        celda->setTextAlignment((derecha ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        m_tabla->setItem(fila, columna, celda);
        return celda;
    };
    int vuelos = 0;
    std::int64_t afectos = 0;
    std::optional<std::int64_t> anterior;
    Decimal total;
    for (int i = 0; i < m_dias.size(); ++i) {
        const DiaDelMes &d = m_dias.at(i);
        poner(i, kDia, formato(d.fecha, u"dd/mm/yyyy"), false);
        poner(i, kVuelos, miles(d.vuelos));
        poner(i, kAfectos, miles(d.afectos));
        poner(i, kAnterior, d.afectosAnterior ? miles(*d.afectosAnterior) : QString());
        poner(i, kDolares, dolares(d.dolares));
        QTableWidgetItem *aviso = poner(i, kAdvertencia, d.advertido ? QStringLiteral("Sí") : QString(), false);
        if (d.advertido)
            aviso->setBackground(kColorAdvertencia.lighter(170));
        vuelos += d.vuelos;
        afectos += d.afectos;
        if (d.afectosAnterior)
            anterior = anterior.value_or(0) + *d.afectosAnterior;
        total += d.dolares;
    }
    const int fila = int(m_dias.size());
    poner(fila, kDia, QStringLiteral("Total"), false);
    poner(fila, kVuelos, miles(vuelos));
    poner(fila, kAfectos, miles(afectos));
    poner(fila, kAnterior, anterior ? miles(*anterior) : QString());
    poner(fila, kDolares, dolares(total));
    poner(fila, kAdvertencia, QString(), false);
    QFont negrita = m_tabla->font();
    negrita.setBold(true);
    for (int c = 0; c < kColumnas; ++c)
        m_tabla->item(fila, c)->setFont(negrita);
    m_tabla->resizeColumnsToContents();
}

void FrmResumenMes::mostrarDia(bool encima, int indice)
{
    if (!encima || indice < 0 || indice >= m_dias.size()) {
        QToolTip::hideText();
        return;
    }
    const DiaDelMes &d = m_dias.at(indice);
    QString texto = QStringLiteral("%1: %2 vuelos, %3 pasajeros comprendidos, US$ %4")
                        .arg(formato(d.fecha, u"dd/mm/yyyy"), miles(d.vuelos), miles(d.afectos), dolares(d.dolares));
    if (d.afectosAnterior)
        texto += QStringLiteral("\n%1: %2").arg(m_periodoAnterior, miles(*d.afectosAnterior));
    if (d.advertido)
        texto += QStringLiteral("\nUn vuelo del día tiene advertencias.");
    QToolTip::showText(QCursor::pos(), texto, m_grafico);
}

bool FrmResumenMes::elegirDia(int indice)
{
    if (indice < 0 || indice >= m_dias.size() || m_dias.at(indice).vuelos == 0)
        return false;
    if (devolver)
        devolver(m_dias.at(indice).fecha.toString(Qt::ISODate));
    accept();
    return true;
}

QString FrmResumenMes::textoTabla() const
{
    QStringList lineas;
    QStringList celdas;
    for (int c = 0; c < m_tabla->columnCount(); ++c)
        celdas << m_tabla->horizontalHeaderItem(c)->text();
    lineas << celdas.join(u'\t');
    for (int f = 0; f < m_tabla->rowCount(); ++f) {
        celdas.clear();
        for (int c = 0; c < m_tabla->columnCount(); ++c)
            celdas << (m_tabla->item(f, c) ? m_tabla->item(f, c)->text() : QString());
        lineas << celdas.join(u'\t');
    }
    return lineas.join(u'\n') + u'\n';
}

bool FrmResumenMes::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_tabla && evento->type() == QEvent::KeyPress) {
        const auto *tecla = static_cast<QKeyEvent *>(evento);
        if ((tecla->key() == Qt::Key_Return || tecla->key() == Qt::Key_Enter)
            && elegirDia(m_tabla->currentRow()))
            return true;
        if (tecla->matches(QKeySequence::Copy)) {
            QApplication::clipboard()->setText(textoTabla());
            return true;
        }
    }
    return QDialog::eventFilter(objeto, evento);
}

void registrarVentanaResumenMes(RegistroVentanas &registro, Contexto &contexto)
{
    registro.registrar(QStringLiteral("ResumenMes"),
                       [&contexto](const ParametrosVentana &p, QWidget *padre) -> std::unique_ptr<QDialog> {
                           auto ventana = std::make_unique<FrmResumenMes>(contexto, padre);
                           ventana->devolver = p.devolver;
                           ventana->cargar();
                           return ventana;
                       });
}

} // namespace kv
