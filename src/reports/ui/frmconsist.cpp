#include "frmconsist.h"

#include "reports/reporteinconsistencias.h"
#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/texto.h"
#include "store/ui/accesible.h"
#include "store/ui/cursorespera.h"
#include "store/ui/listas.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextBlock>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kv {

FrmConsist::FrmConsist(Contexto &contexto, FabricaImpresora fabrica, QWidget *padre)
    : QDialog(padre), m_ctx(contexto), m_fabrica(fabrica ? std::move(fabrica) : fabricaImpresoraSistema())
{
    setObjectName(QStringLiteral("FrmConsist"));
    setWindowTitle(QStringLiteral("Inconsistencias detectadas"));

    m_etiqueta =
        new QLabel(QStringLiteral("En su declaración se han detectado las siguientes inconsistencias :"), this);
    m_texto = new QPlainTextEdit(this);
    m_texto->setObjectName(QStringLiteral("TxtPreliminar"));
    m_texto->setReadOnly(true);
    // A warning is longer than a finding: lines wrap at the window's edge,
    // each still one finding to choose.
    m_texto->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QFont fuente(QStringLiteral("Courier New"));
    fuente.setStyleHint(QFont::TypeWriter);
    fuente.setPointSize(9);
    m_texto->setFont(fuente);

    m_imprimir = new QPushButton(QStringLiteral("&Imprimir"), this);
    m_imprimir->setObjectName(QStringLiteral("cmdImprimir"));
    m_aceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    m_aceptar->setObjectName(QStringLiteral("CmdGrabar"));
    m_aceptar->setDefault(true);

    auto *botones = new QHBoxLayout;
    botones->addStretch(1);
    botones->addWidget(m_imprimir);
    botones->addWidget(m_aceptar);
    auto *principal = new QVBoxLayout(this);
    principal->addWidget(m_etiqueta);
    principal->addWidget(m_texto, 1);
    principal->addLayout(botones);

    // Wide enough for a 90-character message in the fixed face.
    DimensionarVentana(this, 5400, 10800);

    nombrarControl(m_texto, QStringLiteral("Inconsistencias"), QStringLiteral("TxtPreliminar"));
    nombrarControl(m_imprimir, m_imprimir->text(), QStringLiteral("cmdImprimir"));
    nombrarControl(m_aceptar, m_aceptar->text(), QStringLiteral("CmdGrabar"));
    connect(m_imprimir, &QPushButton::clicked, this, &FrmConsist::RepInconsist);
    connect(m_aceptar, &QPushButton::clicked, this, &QDialog::close);

    // The findings can be walked with the arrow keys and chosen.
    m_texto->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_texto->installEventFilter(this);
    m_texto->viewport()->installEventFilter(this);
    connect(m_texto, &QPlainTextEdit::cursorPositionChanged, this, &FrmConsist::marcarLinea);
}

bool FrmConsist::eventFilter(QObject *objeto, QEvent *evento)
{
    if (objeto == m_texto->viewport() && evento->type() == QEvent::MouseButtonDblClick) {
        const QPoint punto = static_cast<QMouseEvent *>(evento)->position().toPoint();
        if (elegirLinea(m_texto->cursorForPosition(punto).blockNumber()))
            return true;
    } else if (objeto == m_texto && evento->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent *>(evento)->key();
        if ((tecla == Qt::Key_Return || tecla == Qt::Key_Enter) && elegirLinea(m_texto->textCursor().blockNumber()))
            return true;
    }
    return QDialog::eventFilter(objeto, evento);
}

bool FrmConsist::elegirLinea(int linea)
{
    if (!devolver || m_texto->document()->findBlockByNumber(linea).text().trimmed().isEmpty())
        return false;
    int numero = linea;
    if (m_primeraAdvertencia >= 0 && linea >= m_lineasArchivo) {
        // The blank line and the heading before the warnings choose nothing.
        if (linea < m_primeraAdvertencia)
            return false;
        numero = m_lineasArchivo + linea - m_primeraAdvertencia;
    }
    devolver(QString::number(numero));
    accept();
    return true;
}

void FrmConsist::marcarLinea()
{
    QTextEdit::ExtraSelection linea;
    QColor fondo = palette().color(QPalette::Highlight);
    fondo.setAlpha(64);
    linea.format.setBackground(fondo);
    linea.format.setProperty(QTextFormat::FullWidthSelection, true);
    linea.cursor = m_texto->textCursor();
    linea.cursor.clearSelection();
    m_texto->setExtraSelections({linea});
}

void FrmConsist::cargar()
{
    // The validation that opens this window may still show the hourglass.
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    QFile archivo(sFileError);
    if (!archivo.open(QIODevice::ReadOnly)) {
        m_ctx.mensajes->mostrar(windowTitle(),
                                QStringLiteral("No se pudo leer el archivo de inconsistencias %1.").arg(sFileError),
                                Icono::Critico);
        return;
    }
    QString texto = desdeCp1252(archivo.readAll());
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_lineasArchivo = int(texto.count(u'\n')) + (texto.isEmpty() || texto.endsWith(u'\n') ? 0 : 1);
    if (!advertencias.isEmpty()) {
        if (m_lineasArchivo == 0)
            m_etiqueta->setText(QStringLiteral("Su declaración no presenta inconsistencias; revise estas advertencias :"));
        if (!texto.isEmpty()) {
            if (!texto.endsWith(u'\n'))
                texto += u'\n';
            texto += u'\n';
        }
        texto += kTituloAdvertencias + u'\n';
        m_primeraAdvertencia = int(texto.count(u'\n'));
        texto += advertencias.join(u'\n') + u'\n';
    }
    m_texto->setPlainText(texto);
}

namespace {
// Messages held back until the hourglass is gone.
class MensajesDiferidos : public ServicioMensajes
{
public:
    using ServicioMensajes::mostrar;
    Respuesta mostrar(const Mensaje &m) override
    {
        m_lista.append(m);
        return m.predeterminada;
    }
    void entregar(ServicioMensajes &destino) const
    {
        for (const Mensaje &m : m_lista)
            destino.mostrar(m);
    }

private:
    QList<Mensaje> m_lista;
};
} // namespace

void FrmConsist::RepInconsist()
{
    const QString pdf = m_ctx.sRutaReportes + QStringLiteral("/Inconsistencias.pdf");
    std::unique_ptr<Impresora> impresora = m_fabrica(pdf);
    const RelojSistema relojSistema;
    const Reloj &reloj = m_ctx.reloj ? *m_ctx.reloj : static_cast<const Reloj &>(relojSistema);
    MensajesDiferidos diferidos;
    {
        CursorEspera espera;
        kv::RepInconsist(sFileError, *impresora, reloj, diferidos, advertencias);
    }
    QCoreApplication::processEvents();
    diferidos.entregar(*m_ctx.mensajes);
}

} // namespace kv
