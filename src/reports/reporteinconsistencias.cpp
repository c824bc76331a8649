#include "reporteinconsistencias.h"

#include "impresora.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/reloj.h"
#include "store/formato.h"
#include "store/texto.h"

#include <QFile>
#include <QStringList>

namespace kv {

namespace {

constexpr int kFilasPorHoja = 40;
constexpr int kPrimeraFila = 1000;
constexpr int kAltoFila = 270;
constexpr int kAnchoUnaFila = 90;
const QString kTitulo = QStringLiteral("Impresión");

void texto(Impresora &imp, int x, int y, const QString &t, bool negrita)
{
    imp.fijarFuente(QStringLiteral("Courier new"));
    imp.fijarNegrita(negrita);
    imp.fijarTamano(8);
    imp.texto(x, y, t);
}

void cuadro(Impresora &imp, int x1, int y1, int x2, int y2)
{
    imp.fijarFuente(QStringLiteral("Courier new"));
    imp.linea(x1, y1, x1, y2);
    imp.linea(x2, y1, x2, y2);
    imp.linea(x1, y1, x2, y1);
    imp.linea(x1, y2, x2, y2);
}

void encabezado(Impresora &imp, const QDateTime &ahora, int hoja)
{
    // The date and the time in their fixed forms, whatever the machine's
    // locale would write.
    texto(imp, 400, 30, QStringLiteral("KORVAL"), true);
    texto(imp, 400, 300, fechaCorta(ahora.date()), true);
    texto(imp, 4000, 300, QStringLiteral("INCONSISTENCIAS DETECTADAS "), true);
    texto(imp, 9000, 300, QStringLiteral("PAG. %1 ").arg(hoja), true);
    texto(imp, 400, 570, ahora.time().toString(QStringLiteral("HH:mm:ss")), true);
    texto(imp, 3000, 570, QStringLiteral("0517 QDL-Zentorio"), true);
}

void informarError(ServicioMensajes &mensajes, const ErrorImpresora &error)
{
    switch (error.numero) {
    case 55:
        return;
    case 380:
        mensajes.mostrar(kTitulo, QStringLiteral("No Existe Información a Imprimir.Verifique."), Icono::Critico);
        return;
    case Impresora::kErrorImpresora:
        mensajes.mostrar(kTitulo, QStringLiteral("No existe una impresora seleccionada.Verifique."), Icono::Critico);
        return;
    case Impresora::kErrorCancelada:
        mensajes.mostrar(kTitulo, QStringLiteral("La Impresión ha sido Cancelada."), Icono::Critico);
        return;
    default:
        mensajes.mostrar(kTitulo, QStringLiteral("Error Técnico : (%1) %2").arg(error.numero).arg(error.descripcion),
                         Icono::Critico);
    }
}

} // namespace

QStringList filasMensaje(const QString &mensaje)
{
    const QString recortado = recortarBlancos(mensaje);
    if (recortado.size() <= kAnchoUnaFila)
        return {mensaje};
    // A long message is cut after its 89th character, marked with a hyphen,
    // and goes on indented on the next row.
    return {recortado.left(kAnchoUnaFila - 1) + u'-', QStringLiteral("    ") + recortado.mid(kAnchoUnaFila - 1)};
}

bool RepInconsist(const QString &sFileError, Impresora &impresora, const Reloj &reloj, ServicioMensajes &mensajes,
                  const QStringList &advertencias)
{
    QFile archivo(sFileError);
    if (!archivo.open(QIODevice::ReadOnly)) {
        informarError(mensajes, ErrorImpresora{53, QStringLiteral("No se encontró el archivo %1").arg(sFileError)});
        return false;
    }
    const QDateTime ahora = reloj.ahora();

    if (!impresora.iniciar(Orientacion::Vertical, QStringLiteral("Inconsistencias detectadas"))) {
        informarError(mensajes, impresora.error());
        return false;
    }
    int hoja = 1;
    encabezado(impresora, ahora, hoja);

    int r = 0; // rows on this page
    // A list of numbered messages; a message never starts below the 40th
    // row of a page.
    auto imprimirLista = [&](const QString &mensaje, int n, bool negrita = false) {
        if (r >= kFilasPorHoja) {
            cuadro(impresora, 300, 900, 10000, kPrimeraFila + kAltoFila * r);
            impresora.nuevaPagina();
            encabezado(impresora, ahora, ++hoja);
            r = 0;
        }
        const QStringList filas = filasMensaje(mensaje);
        for (qsizetype i = 0; i < filas.size(); ++i) {
            const QString t = i == 0 && n > 0 ? QStringLiteral("%1. ").arg(n) + filas[i] : filas[i];
            texto(impresora, 400, kPrimeraFila + kAltoFila * r, t, negrita);
            ++r;
        }
    };
    int n = 0;
    while (!archivo.atEnd()) {
        QByteArray bytes = archivo.readLine();
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        imprimirLista(desdeCp1252(bytes), ++n);
        if (impresora.error().hay())
            break;
    }
    archivo.close();
    if (!impresora.error().hay()) {
        texto(impresora, 500, kPrimeraFila + kAltoFila * r, QStringLiteral(" Inconsistencias Detectadas : %1").arg(n),
              false);
        ++r;
        if (!advertencias.isEmpty())
            imprimirLista(kTituloAdvertencias, 0, true);
        for (qsizetype i = 0; i < advertencias.size() && !impresora.error().hay(); ++i)
            imprimirLista(advertencias.at(i), int(i) + 1);
        cuadro(impresora, 300, 900, 10000, kPrimeraFila + kAltoFila * r);
    }
    if (impresora.error().hay()) {
        const ErrorImpresora error = impresora.error();
        impresora.abortar();
        informarError(mensajes, error);
        return false;
    }
    if (!impresora.terminar()) {
        informarError(mensajes, impresora.error());
        return false;
    }
    if (!impresora.archivoPdf().isEmpty())
        mensajes.mostrar(kTitulo,
                         QStringLiteral("No hay una impresora predeterminada. El reporte se guardó en el archivo %1")
                             .arg(impresora.archivoPdf()),
                         Icono::Informacion);
    return true;
}

} // namespace kv
