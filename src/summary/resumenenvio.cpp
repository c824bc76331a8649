#include "resumenenvio.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/mensajes.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/texto.h"

#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>

namespace kv {

namespace {

const QString kTitulo = QStringLiteral("Resumen de envío - Formulario 0517");

// One text record of the page-description format, 10 points, page 0. The
// summary always wrote "false" in lower case on two of its lines; readers
// take both. A "|" inside a data text would split the record, so it is
// written as "¦".
QByteArray registro(int x, int y, const QString &texto, bool minuscula = false)
{
    QString limpio = texto;
    limpio.replace(u'|', u'¦');
    return aCp1252(QStringLiteral("pPos|%1|%2|").arg(x).arg(y) + limpio
                   + (minuscula ? QStringLiteral("|false|10|0|") : QStringLiteral("|False|10|0|")))
        + "\r\n";
}

QByteArray linea(const QString &texto)
{
    // Empty lines of the listing are written as a single blank.
    return aCp1252(recortarBlancos(texto).isEmpty() ? QStringLiteral(" ") : texto) + "\r\n";
}

} // namespace

struct ResumenEnvio::Cabecera
{
    QString efectivo;
    QString cheque;
    QString banco;
    QString numeroCheque;
    QString rectifica;
};

ResumenEnvio::ResumenEnvio(Contexto &contexto, AccesoDatos &datos) : m_ctx(contexto), m_datos(datos) {}

void ResumenEnvio::anotarTraza(const QString &sentencia) const
{
    QFile traza(QStringLiteral("Trace.txt"));
    if (traza.open(QIODevice::Append))
        traza.write(aCp1252(sentencia) + "\r\n");
}

QList<ResumenEnvio::Cabecera> ResumenEnvio::leerCabeceras(const LineaComandos &linea) const
{
    const auto tipo = valEntero(linea.tipoDocumento);
    const QString documento = recortarBlancos(linea.numeroDocumento);
    // A yearly declaration (period ending in "00") is kept under its year.
    const QString periodo = linea.periodo.endsWith(u"00") ? linea.periodo.left(4) : linea.periodo;
    // The trace keeps the statement as a reader of the log would write it;
    // the query itself takes the values bound.
    anotarTraza(QStringLiteral("SELECT * FROM CAB WHERE Tip_doc_d=") + QString::number(tipo) + QStringLiteral(" AND Doc_id_d='")
                + documento + QStringLiteral("'  AND PERIODO='") + periodo + QStringLiteral("' AND Formulario='")
                + linea.formulario + u'\'');
    QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT efectivo, cheque, bcolibrad, nrocheque, rectifica FROM CAB "
                                                   "WHERE Tip_doc_d=? AND Doc_id_d=? AND periodo=? AND Formulario=?"),
                                    {qlonglong(tipo), documento, periodo, linea.formulario});
    QList<Cabecera> cabeceras;
    while (q.next()) {
        cabeceras.append(Cabecera{q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                                  q.value(3).toString(), q.value(4).toString()});
    }
    return cabeceras;
}

QString ResumenEnvio::escribir(const LineaComandos &linea)
{
    const auto tipo = valEntero(linea.tipoDocumento);
    const QString documento = recortarBlancos(linea.numeroDocumento);
    const QDateTime ahora = m_ctx.reloj ? m_ctx.reloj->ahora() : QDateTime::currentDateTime();
    const QString fecha = formato(ahora.date(), u"dd/mm/yyyy");

    m_archivoReporte = m_datos.AsignarArchivoReporte(QString::fromLatin1(kCodigoReporte), qlonglong(tipo), documento);

    // Values shared by the report and the listing.
    const QString nombreCorto =
        recortarBlancos(m_datos.ParametroFuncion(QStringLiteral("044"), QString::number(tipo), 12, 32));
    QString razonSocial;
    {
        QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT Nombre FROM CONT WHERE Tip_doc_d=? AND Doc_id_d=?"),
                                        {qlonglong(tipo), documento});
        if (q.next())
            razonSocial = q.value(0).toString();
    }
    const QString periodo = linea.periodo.endsWith(u"00")
        ? linea.periodo.left(4)
        : linea.periodo.mid(4, 2) + u'/' + linea.periodo.left(4);
    QString casilla406 = QStringLiteral("0");
    QString casilla410 = QStringLiteral("0");
    {
        QSqlQuery q = m_datos.consultar(QStringLiteral("SELECT CASILLA, I_VALOR FROM DET WHERE Tip_doc_d=? AND Doc_id_d=? "
                                                       "AND PERIODO=? AND FORMULARIO=? AND (CASILLA='406' OR CASILLA='410')"),
                                        {qlonglong(tipo), documento, linea.periodo, linea.formulario});
        while (q.next()) {
            (q.value(0).toString() == u"406" ? casilla406 : casilla410) = q.value(1).toString();
        }
    }
    const QString monto406 = formato(casilla406, u"###,###,###,##0");
    const QString monto410 = formato(casilla410, u"###,###,###,##0");
    auto nombreBanco = [&](const QString &codigo) {
        return recortarBlancos(m_datos.ParametroFuncion(QStringLiteral("004"), recortarBlancos(codigo), 12, 38));
    };
    const QString pie = QStringLiteral("NC ") + linea.numeroEnvio + QStringLiteral("  Fec.Generación: ") + fecha;

    // The one-page report.
    if (!m_archivoReporte.isEmpty()) {
        QFile reporte(m_ctx.sRutaReportes + u'/' + m_archivoReporte);
        bool escrito = reporte.open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (escrito) {
            for (const Cabecera &c : leerCabeceras(linea)) {
                QByteArray pagina = "<!font!>Courier New<!/font!>\r\n<!nHojas!>1<!/nHojas!>\r\n"
                                    "<!Orientacion!>V<!/Orientacion!>\r\n<!Color!>&H80000005&<!/Color!>\r\n";
                pagina += registro(300, 350, fecha);
                pagina += registro(5500, 350, QStringLiteral("Pag. 01/01"));
                pagina += registro(300, 600, formato(ahora.time(), u"hh:mm:ss"), true);
                pagina += registro(1300, 1100, kTitulo, true);
                pagina += registro(300, 1500, QStringLiteral("DOCUMENTO       : ") + nombreCorto + QStringLiteral("  ") + documento);
                pagina += registro(300, 1750, QStringLiteral("RAZON SOCIAL    : ") + razonSocial);
                pagina += registro(300, 2000, QStringLiteral("FORMULARIO      : ") + linea.formulario + QStringLiteral("-QDL NOVARA"));
                pagina += registro(300, 2250, QStringLiteral("PERIODO         : ") + periodo);
                const bool efectivo = !recortarBlancos(c.efectivo).isEmpty();
                const bool cheque = !recortarBlancos(c.cheque).isEmpty();
                if (efectivo || !cheque)
                    pagina += registro(300, 2500, QStringLiteral("FORMA DE PAGO   : EFECTIVO"));
                if (cheque) {
                    pagina += registro(300, 2500, QStringLiteral("FORMA DE PAGO   : CHEQUE"));
                    pagina += registro(300, 2750, QStringLiteral("BANCO           : ") + recortarBlancos(c.banco)
                                                      + QStringLiteral(" - ") + nombreBanco(c.banco));
                    pagina += registro(300, 3000, QStringLiteral("NUMERO CHEQUE   : ") + recortarBlancos(c.numeroCheque));
                }
                pagina += registro(300, 3250, val(c.rectifica).esCero() ? QStringLiteral("RECTIFICATORIA  : NO")
                                                                        : QStringLiteral("RECTIFICATORIA  : SI"));
                pagina += registro(300, 3750, QStringLiteral("TRIBUTO          IMP.RESULT.     MONTO PAGO"));
                pagina += registro(500, 4000, monto406.rightJustified(24, u' ') + monto410.rightJustified(18, u' '));
                pagina += registro(300, 4500, pie);
                escrito = escrito && reporte.write(pagina) == pagina.size();
            }
            escrito = escrito && reporte.flush();
        }
        if (!escrito) {
            // A full disk: the register keeps no report that is not all there.
            if (m_ctx.mensajes)
                m_ctx.mensajes->mostrar(kTitulo,
                                        QStringLiteral("No se pudo escribir el reporte %1:\n%2")
                                            .arg(reporte.fileName(), reporte.errorString()),
                                        Icono::Critico);
            reporte.close();
            m_datos.RetirarArchivoReporte(m_archivoReporte);
            m_archivoReporte.clear();
        }
    }

    // The listing, from the first header row.
    const QString nombreListado = linea.nombreListado() + QStringLiteral(".PRN");
    QFile listado(m_ctx.sRutaReportes + u'/' + nombreListado);
    if (listado.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        const QList<Cabecera> cabeceras = leerCabeceras(linea);
        if (!cabeceras.isEmpty()) {
            const Cabecera &c = cabeceras.first();
            QByteArray texto;
            texto += ::kv::linea(QStringLiteral("DOCUMENTO      : ") + nombreCorto + QStringLiteral("  ") + documento);
            texto += ::kv::linea(QStringLiteral("RAZON SOCIAL   : ") + razonSocial);
            texto += ::kv::linea(QStringLiteral("FORMULARIO     : ") + linea.formulario + QStringLiteral("-QDL NOVARA"));
            texto += ::kv::linea(QStringLiteral("PERIODO        : ") + periodo);
            const bool efectivo = !recortarBlancos(c.efectivo).isEmpty();
            const bool cheque = !recortarBlancos(c.cheque).isEmpty();
            if (efectivo || !cheque)
                texto += ::kv::linea(QStringLiteral("FORMA DE PAGO  : EFECTIVO"));
            if (cheque) {
                texto += ::kv::linea(QStringLiteral("FORMA DE PAGO  : CHEQUE"));
                texto += ::kv::linea(QStringLiteral("BANCO          : ") + recortarBlancos(c.banco) + QStringLiteral(" - ")
                                     + nombreBanco(c.banco));
                texto += ::kv::linea(QStringLiteral("NUMERO CHEQUE  : ") + recortarBlancos(c.numeroCheque));
            }
            texto += ::kv::linea(val(c.rectifica).esCero() ? QStringLiteral("RECTIFICATORIA : NO")
                                                           : QStringLiteral("RECTIFICATORIA : SI"));
            texto += ::kv::linea(QString());
            texto += ::kv::linea(QStringLiteral("TRIBUTO    IMP.RESULT.     MONTO PAGO"));
            texto += ::kv::linea(monto406.rightJustified(22, u' ') + monto410.rightJustified(16, u' '));
            texto += ::kv::linea(QString());
            texto += ::kv::linea(pie);
            listado.write(texto);
        }
    }
    return nombreListado;
}

} // namespace kv
