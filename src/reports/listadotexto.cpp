#include "listadotexto.h"

#include "impresora.h"
#include "store/mensajes.h"
#include "store/numeros.h"
#include "store/texto.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace kv {

namespace {

constexpr char kNuevaPagina = 0x0F;

// The text between an opening and a closing tag on one line, e.g. the font
// name of "<!font!>Arial<!/font!>".
QString valorEntre(const QString &linea, QStringView apertura, QStringView cierre)
{
    const qsizetype inicio = linea.indexOf(apertura);
    if (inicio < 0)
        return {};
    const qsizetype desde = inicio + apertura.size();
    const qsizetype fin = linea.indexOf(cierre, desde);
    return fin < 0 ? linea.mid(desde) : linea.mid(desde, fin - desde);
}

} // namespace

void ListadoTexto::aplicarEtiqueta(const QString &linea, Estado &estado)
{
    const qsizetype inicio = linea.indexOf(u"<!");
    if (inicio < 0)
        return;
    const qsizetype fin = linea.indexOf(u"!>", inicio + 2);
    if (fin < 0)
        return;
    const QString etiqueta = linea.mid(inicio, fin + 2 - inicio).toLower();
    if (etiqueta == u"<!font!>") {
        estado.fuente = valorEntre(linea, u"<!font!>", u"<!/font!>");
    } else if (etiqueta == u"<!fontsize!>") {
        estado.tamano = int(valEntero(valorEntre(linea, u"<!fontsize!>", u"<!/fontsize!>")));
    } else if (etiqueta == u"<!bold!>" || etiqueta == u"<!/bold!>") {
        estado.negrita = !etiqueta.startsWith(u"<!/");
    } else if (etiqueta == u"<!italic!>" || etiqueta == u"<!/italic!>") {
        estado.cursiva = !etiqueta.startsWith(u"<!/");
    } else if (etiqueta == u"<!underline!>" || etiqueta == u"<!/underline!>") {
        estado.subrayado = !etiqueta.startsWith(u"<!/");
    } else if (etiqueta == u"<!np!>") {
        estado.nuevaPaginaPendiente = true;
    }
}

void ListadoTexto::mostrarErrorImpresion(int numero, const QString &descripcion)
{
    QString texto;
    switch (numero) {
    case 380: texto = QStringLiteral("No Existe Información a Imprimir.Verifique."); break;
    case Impresora::kErrorImpresora: texto = QStringLiteral("No existe una impresora seleccionada.Verifique."); break;
    case Impresora::kErrorCancelada: texto = QStringLiteral("La Impresión ha sido Cancelada."); break;
    default: texto = QStringLiteral("Error Técnico : (") + QString::number(numero) + QStringLiteral(") ") + descripcion;
    }
    m_mensajes.mostrar(QStringLiteral("Impresión"), texto, Icono::Critico);
}

bool ListadoTexto::convertir(const QString &carpeta, const QString &archivo, Modo modo, Impresora *impresora)
{
    m_estado = Estado{};
    QFile salida;
    if (modo == Modo::Archivo) {
        salida.setFileName(carpeta + u'/' + archivo.section(u'.', 0, 0) + QStringLiteral(".txt"));
        if (!salida.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            mostrarErrorImpresion(75, salida.errorString());
            return true;
        }
    }
    QFile listado(carpeta + u'/' + archivo);
    if (!QFileInfo(listado).isFile() || !listado.open(QIODevice::ReadOnly)) {
        m_mensajes.mostrar(QStringLiteral("Error al Imprimir"), QStringLiteral("Archivo Físico del Reporte no Existe"),
                           Icono::Critico);
        return false;
    }

    // Printed lines run down the page from its top; a page that fills up
    // continues on the next, as the printer did.
    bool trabajoIniciado = false;
    int y = 0;
    auto imprimir = [&](const QString &linea) -> bool {
        if (!impresora)
            return false;
        if (!trabajoIniciado) {
            if (!impresora->iniciar())
                return false;
            trabajoIniciado = true;
        }
        impresora->fijarFuente(m_estado.fuente);
        impresora->fijarTamano(m_estado.tamano);
        impresora->fijarNegrita(m_estado.negrita);
        impresora->fijarCursiva(m_estado.cursiva);
        impresora->fijarSubrayado(m_estado.subrayado);
        const int alto = impresora->altoLinea();
        if (m_estado.nuevaPaginaPendiente || (y > 0 && y + alto > impresora->areaPagina().height())) {
            if (!impresora->nuevaPagina())
                return false;
            y = 0;
        }
        if (!linea.isEmpty() && !impresora->texto(0, y, linea))
            return false;
        y += alto;
        return true;
    };

    bool fallo = false;
    while (!listado.atEnd() && !fallo) {
        QByteArray bytes = listado.readLine();
        while (bytes.endsWith('\n') || bytes.endsWith('\r'))
            bytes.chop(1);
        const QString linea = desdeCp1252(bytes);
        if (linea.contains(u"<!")) {
            aplicarEtiqueta(linea, m_estado);
            continue;
        }
        const bool vacia = recortarBlancos(linea).isEmpty();
        if (modo == Modo::Archivo) {
            QByteArray escrita;
            if (m_estado.nuevaPaginaPendiente)
                escrita += QByteArray(1, kNuevaPagina) + "\r\n";
            escrita += vacia ? QByteArray(" ") : aCp1252(linea);
            escrita += "\r\n";
            fallo = salida.write(escrita) != escrita.size();
        } else {
            fallo = !imprimir(vacia ? QString() : linea);
        }
        m_estado.nuevaPaginaPendiente = false;
    }
    listado.close();
    if (modo == Modo::Archivo) {
        salida.close();
        if (fallo)
            mostrarErrorImpresion(61, salida.errorString());
    } else if (impresora) {
        if (!fallo && trabajoIniciado)
            fallo = !impresora->terminar();
        if (fallo) {
            const ErrorImpresora error = impresora->error();
            impresora->abortar();
            mostrarErrorImpresion(error.hay() ? error.numero : Impresora::kErrorImpresora, error.descripcion);
        }
    }
    QCoreApplication::processEvents();
    return true;
}

} // namespace kv
