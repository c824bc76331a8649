#include "ayudaqadelia.h"

#include "integrator/copiasseguridad.h"
#include "store/contexto.h"
#include "store/ui/accesible.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kv {

namespace {

// %1 system folder, %2 database, %3 KV000.INI, %4 what is said of the
// backups of this engine's database.
const char kPagina[] = R"html(
<h2>Qadelia</h2>
<p>Qadelia guarda los contribuyentes, las declaraciones y los reportes de los formularios, y desde aquí
se inicia el módulo de cada formulario.</p>

<h3>Menús</h3>
<dl>
<dt><b>Archivo</b></dt>
<dd><i>Restaurar copia de seguridad...</i> pone en su lugar una copia anterior de la base de datos (vea
<a href="#copias">Copias de seguridad</a>). <i>Salir</i> cierra Qadelia; antes debe cerrarse el formulario
0517 si está abierto.</dd>
<dt><b>Contribuyentes</b></dt>
<dd><i>Agregar...</i> registra un contribuyente por su RUC y razón social; <i>Modificar...</i> cambia la
razón social del elegido en la lista; <i>Eliminar</i> lo borra, después de preguntar; <i>Actualizar</i> lee
otra vez la lista.</dd>
<dt><b>Módulos</b></dt>
<dd><i>Formulario 0517 - Zentorio</i> inicia el módulo de declaración del formulario 0517, lo mismo que el
botón con su nombre sobre las pestañas. Si ya está abierto, su ventana pasa al frente.</dd>
<dt><b>Declaraciones</b></dt>
<dd><i>Enviar declaración...</i> lista las declaraciones grabadas; las ya enviadas muestran la fecha y el
correlativo de su último envío. Al enviar una de nuevo se pregunta si es rectificatoria. El envío copia la
declaración al historial con el siguiente correlativo y muestra su resumen de envío.</dd>
<dt><b>Reportes</b></dt>
<dd>Aparece cuando un módulo agrega órdenes de reportes.</dd>
<dt><b>Ayuda</b></dt>
<dd><i>Contenido</i> (tecla F1) muestra esta página.</dd>
</dl>

<h3>Pestañas</h3>
<p><b>Contribuyentes</b>: los contribuyentes registrados; doble clic para modificar uno.
<b>Reportes</b>: el registro de reportes, el más reciente primero, con su descripción, el periodo de la
declaración, el documento, la fecha y el usuario; <i>Ver</i> (o doble clic) lo abre en la presentación
preliminar, desde donde se imprime o se guarda como PDF.</p>

<h3>Dónde están los datos</h3>
<ul>
<li>Carpeta del sistema: <tt>%1</tt> (reportes en <tt>RPT</tt>, archivos temporales en <tt>TMP</tt>, la
ayuda del módulo en <tt>0517</tt>).</li>
<li>Base de datos: <tt>%2</tt></li>
<li>Configuración: <tt>%3</tt> (sección <tt>Options</tt>).</li>
</ul>

<h3><a name="copias"></a>Copias de seguridad</h3>
%4
)html";

QString codificar(const QString &texto)
{
    return texto.toHtmlEscaped();
}

} // namespace

QString AyudaQadelia::pagina(const Contexto &contexto, const QString &rutaIni)
{
    const CopiasSeguridad copias(contexto.ubicacion.ruta, contexto.sRutaSistema);
    QString copiasTexto;
    if (contexto.ubicacion.motor == Motor::SQLite) {
        copiasTexto = QStringLiteral(
                          "<p>Cada vez que Qadelia se cierra copia la base de datos en <tt>%1</tt>, con la fecha y la hora "
                          "en el nombre; se guardan las %2 más recientes. La copia se hace aunque el formulario 0517 "
                          "tenga la base abierta.</p>"
                          "<p><i>Archivo → Restaurar copia de seguridad...</i> pone en su lugar la copia elegida, "
                          "después de confirmar; el estado actual se guarda antes como una copia más, de modo que "
                          "también puede volverse atrás.</p>")
                          .arg(codificar(QDir::toNativeSeparators(copias.carpeta())))
                          .arg(CopiasSeguridad::kMaximo);
    } else {
        copiasTexto = QStringLiteral("<p>La base de datos está en un servidor PostgreSQL: sus copias las hace el "
                                     "administrador del servidor (por ejemplo con <tt>pg_dump</tt>).</p>");
    }
    return QString::fromUtf8(kPagina)
        .arg(codificar(QDir::toNativeSeparators(contexto.sRutaSistema)),
             codificar(contexto.ubicacion.descripcion()), codificar(QDir::toNativeSeparators(rutaIni)), copiasTexto);
}

AyudaQadelia::AyudaQadelia(const Contexto &contexto, const QString &rutaIni, QWidget *padre)
    : QDialog(padre, Qt::Window)
{
    setWindowTitle(QStringLiteral("Ayuda de Qadelia"));
    setObjectName(QStringLiteral("frmAyudaQadelia"));
    m_navegador = new QTextBrowser(this);
    m_navegador->setObjectName(QStringLiteral("txtAyuda"));
    m_navegador->setOpenExternalLinks(false);
    m_navegador->setHtml(pagina(contexto, rutaIni));
    nombrarControl(m_navegador, QStringLiteral("Ayuda de Qadelia"), QStringLiteral("txtAyuda"));

    auto *botones = new QDialogButtonBox(this);
    QPushButton *cerrar = botones->addButton(QStringLiteral("C&errar"), QDialogButtonBox::RejectRole);
    nombrarControl(cerrar, cerrar->text(), QStringLiteral("cmdCerrar"));
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto *columna = new QVBoxLayout(this);
    columna->addWidget(m_navegador);
    columna->addWidget(botones);
    resize(640, 560);
}

} // namespace kv
