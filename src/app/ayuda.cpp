#include "ayuda.h"

#include "store/mensajes.h"
#include "store/ui/ventanas.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kv {

VentanaAyuda::VentanaAyuda(QWidget *padre) : QDialog(padre, Qt::Window)
{
    setWindowTitle(QStringLiteral("Ayuda - 0517 QDL Zentorio"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    m_navegador = new QTextBrowser(this);
    m_navegador->setOpenExternalLinks(false);

    auto *botones = new QDialogButtonBox(this);
    auto *contenido = botones->addButton(QStringLiteral("&Contenido"), QDialogButtonBox::ActionRole);
    auto *atras = botones->addButton(QStringLiteral("&Atrás"), QDialogButtonBox::ActionRole);
    auto *cerrar = botones->addButton(QStringLiteral("C&errar"), QDialogButtonBox::RejectRole);
    atras->setEnabled(false);
    connect(contenido, &QPushButton::clicked, this, [this] { mostrarTema(m_archivo, 0); });
    connect(atras, &QPushButton::clicked, m_navegador, &QTextBrowser::backward);
    connect(m_navegador, &QTextBrowser::backwardAvailable, atras, &QPushButton::setEnabled);
    connect(cerrar, &QPushButton::clicked, this, &QDialog::close);

    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_navegador);
    columna->addWidget(botones);
    resize(620, 520);
}

void VentanaAyuda::mostrarTema(const QString &archivo, int contexto)
{
    QUrl direccion = QUrl::fromLocalFile(archivo);
    if (contexto > 0)
        direccion.setFragment(QString::number(contexto));
    if (archivo != m_archivo) {
        m_navegador->clearHistory();
        m_archivo = archivo;
    }
    // The file keeps its old name; its content is HTML.
    m_navegador->setSource(direccion, QTextDocument::HtmlResource);
    if (contexto <= 0)
        m_navegador->scrollToAnchor(QStringLiteral("contenido"));
    m_tema = contexto;
}

AyudaModulo::AyudaModulo(ServicioMensajes *mensajes, QWidget *ventanaPrincipal)
    : QObject(ventanaPrincipal), m_mensajes(mensajes), m_principal(ventanaPrincipal)
{
    qApp->installEventFilter(this);
}

AyudaModulo::~AyudaModulo()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool AyudaModulo::mostrar(int contexto)
{
    if (m_archivo.isEmpty() || !QFileInfo(m_archivo).isFile()) {
        if (m_mensajes) {
            const QString titulo = m_principal ? m_principal->windowTitle() : QString();
            m_mensajes->mostrar(titulo,
                                QStringLiteral("No se encontró el archivo de ayuda:\n") + m_archivo,
                                Icono::Exclamacion);
        }
        return false;
    }
    // A modal window blocks every window but its own children, so the help
    // opens as a child of the modal window on top, where the user can read
    // and scroll it.
    QWidget *padre = QApplication::activeModalWidget();
    if (!padre)
        padre = m_principal;
    if (m_ventana && m_ventana->parentWidget() != padre)
        delete m_ventana.data();
    if (!m_ventana)
        m_ventana = new VentanaAyuda(padre);
    m_ventana->mostrarTema(m_archivo, contexto);
    m_ventana->show();
    m_ventana->raise();
    m_ventana->activateWindow();
    return true;
}

bool AyudaModulo::eventFilter(QObject *objeto, QEvent *evento)
{
    if (evento->type() != QEvent::KeyPress)
        return false;
    const auto *tecla = static_cast<QKeyEvent *>(evento);
    if (tecla->key() != Qt::Key_F1 || tecla->modifiers() != Qt::NoModifier)
        return false;
    QWidget *widget = qobject_cast<QWidget *>(objeto);
    if (!widget)
        widget = QApplication::focusWidget();
    if (!widget)
        widget = QApplication::activeWindow();
    // F1 in the help window itself shows its contents.
    const bool enLaAyuda = widget && m_ventana && (widget == m_ventana || m_ventana->isAncestorOf(widget));
    mostrar(widget && !enLaAyuda ? contextoAyuda(widget) : 0);
    return true;
}

} // namespace kv
