#include "reporteformulario.h"

#include "escritorreporte.h"
#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/formato.h"
#include "store/funcionessqlite.h"
#include "store/numeros.h"
#include "store/texto.h"
#include "store/utilidad.h"

#include <QFile>
#include <QSqlQuery>

namespace kv {

namespace {

constexpr int kPaso = 270;
// A row written below this line closes its page.
constexpr int kUltimaLinea = 14000;
// Where the table head starts again on a continuation page.
constexpr int kCabezaContinuacion = 2610;

const QString kCabezaVuelos1 = QStringLiteral(
    " Fecha de  Codigo de Vuelo                 No Comprendidos                  Comp.  Total  Cuantía del");
const QString kCabezaVuelos2 = QStringLiteral(
    "  Arribo                    Trip. Pers. Tran. Forz. Dipl. Extr. Depo. Ante.        Pasaj.  Impuesto");
const QString kCabezaPagos1 = QStringLiteral(
    "          Boleta de Pago            Num.Orden/  Fecha Pago  Monto Soles(S/.) T.Cambio  Mto.Dólares($)");
const QString kCabezaPagos2 = QStringLiteral("                                    Operacion ");

// A detail table: where its box and lines end, its two head lines and
// their weight.
struct TablaDetalle
{
    int xFin;
    QString linea1;
    QString linea2;
    bool negrita;
};

const TablaDetalle kTablaVuelos{11300, kCabezaVuelos1, kCabezaVuelos2, true};
const TablaDetalle kTablaPagos{11200, kCabezaPagos1, kCabezaPagos2, false};

// One row of the summary or the debt: its label, where the label starts
// and the box it shows.
struct FilaCasilla
{
    const char16_t *etiqueta;
    int x;
    int casilla;
};

constexpr FilaCasilla kResumen[] = {
    {u"Pasajeros no Comprendidos ", 600, 390}, {u"Personal Línea Aérea", 800, 391},
    {u"Pasajeros", 800, 392},                  {u"Pasajeros Comprendidos ", 600, 393},
    {u"Total Pasajeros", 600, 394},            {u"Total Vuelos en el Período", 600, 395},
    {u"Impuesto US Dólares ( $ ) ", 600, 396}, {u"Tipo de Cambio Venta", 600, 397},
    {u"Impuesto Soles ( S/. )", 600, 401},
};

constexpr FilaCasilla kDeuda[] = {
    {u"Impuesto resultante ", 600, 401},
    {u"Compensación - Pagos en exceso o indebidos", 800, 402},
    {u"Pagos Previos", 800, 403},
    {u"Saldo a Pagar", 600, 404},
    {u"Interés Moratorio", 600, 405},
    {u"Total Deuda Tributaria", 600, 406},
    {u"Importe a Pagar", 600, 410},
};

const QString kPatronMonto = QStringLiteral("###,###,###,##0;(###,###,###,##0)");

// A stored date (ISO text, or a date value on engines that have one) as
// "dd/mm/yyyy"; what is not a date is shown as stored.
QString fechaImpresa(const QVariant &valor)
{
    if (valor.isNull())
        return {};
    const QDate fecha = fechaGuardada(valor);
    return fecha.isValid() ? formato(fecha, u"dd/mm/yyyy") : recortarBlancos(valor.toString());
}

// The padding of the utility's pad operations, appended in place: the flight
// lines are the bulk of a long report. A longer text goes whole.
void anadirIzquierda(QString &linea, QStringView texto, int ancho)
{
    linea += texto;
    if (texto.size() < ancho)
        linea.resize(linea.size() + ancho - texto.size(), u' ');
}

void anadirDerecha(QString &linea, QStringView texto, int ancho)
{
    if (texto.size() < ancho)
        linea.resize(linea.size() + ancho - texto.size(), u' ');
    linea += texto;
}

QStringView sinBlancos(QStringView texto)
{
    while (!texto.isEmpty() && texto.front() == u' ')
        texto = texto.sliced(1);
    while (!texto.isEmpty() && texto.back() == u' ')
        texto.chop(1);
    return texto;
}

// One flight of the detail: arrival date left-aligned in 11, code in 16,
// the nine counts right-aligned in 6, their sum in 7 and the tax in 13.
// The values of one flight as text, columns 0 to 11 of the print-out's
// query; `fechaComoValor` gives column 0 as stored when it is no ISO text.
template<typename FechaComoValor>
void lineaVuelo(QString &linea, const QString (&valores)[12], FechaComoValor &&fechaComoValor)
{
    linea.truncate(0);
    const QString &fecha = valores[0];
    // ISO text, the stored form, is turned round without a date object.
    if (fecha.size() >= 10 && fecha.at(4) == u'-' && fecha.at(7) == u'-') {
        const QStringView f(fecha);
        linea += f.sliced(8, 2);
        linea += u'/';
        linea += f.sliced(5, 2);
        linea += u'/';
        linea += f.first(4);
        linea += u' ';
    } else {
        anadirIzquierda(linea, fechaImpresa(fechaComoValor()), 11);
    }
    anadirIzquierda(linea, sinBlancos(valores[1]), 16);
    qint64 enteros = 0;
    Decimal resto;
    for (int c = 2; c <= 10; ++c) {
        const QStringView cuenta = sinBlancos(valores[c]);
        // Counts are plain digits; anything else is read as the number
        // conversion reads it.
        bool entero = !cuenta.isEmpty() && cuenta.size() <= 18;
        qint64 n = 0;
        for (qsizetype i = 0; i < cuenta.size() && entero; ++i) {
            const char16_t u = cuenta[i].unicode();
            entero = u >= u'0' && u <= u'9';
            n = n * 10 + (u - u'0');
        }
        if (!entero)
            n = cuenta.toLongLong(&entero);
        if (entero)
            enteros += n;
        else
            resto += val(cuenta);
        anadirDerecha(linea, cuenta, 6);
    }
    anadirDerecha(linea, resto.esCero() ? QString::number(enteros) : (Decimal::entero(enteros) + resto).texto(), 7);
    anadirDerecha(linea, sinBlancos(valores[11]), 13);
}

// The conditions that pick one declaration's rows (taxpayer, period and
// form bound in that order, then the copy of a sent one), and the order.
ConsultaSql condiciones(const DeclaracionImpresion &d, const QString &sql, const QString &orden = {})
{
    ConsultaSql c{sql, {d.ruc, d.periodo, QStringLiteral("0517")}};
    if (d.historico) {
        c.sql += QStringLiteral(" AND CORREL=?");
        c.valores << d.correl;
    }
    if (!orden.isEmpty())
        c.sql += QStringLiteral(" ORDER BY ") + orden;
    return c;
}

// Writes the print-out's records, page by page. The first query that
// fails stops the writing; `error` holds it.
class Escritura
{
public:
    Escritura(const AccesoDatos &datos, const DeclaracionImpresion &d, const CasillasImpresion &casillas,
              EscritorReporte &archivo)
        : m_datos(datos),
          m_util(datos.contexto().utilidad ? *datos.contexto().utilidad : m_utilPropia),
          m_d(d),
          m_casillas(casillas),
          m_archivo(archivo)
    {
    }

    ErrorBD error;

    // Each part starts on page `hoja` and returns its last page.
    int pHoja1r(int hoja);
    int pHoja4r(int hoja);
    int pHoja5r(int hoja);

private:
    void texto(int x, int y, const QString &t, bool negrita = false, int tamano = 8)
    {
        pImpLinea(x, y, t, negrita, tamano, m_hoja, m_archivo);
    }
    void cuadro(int x1, int y1, int x2, int y2) { pImpCuadro(x1, y1, x2, y2, m_hoja, m_archivo); }
    void nuevaHoja()
    {
        pImpLinea(0, 0, QStringLiteral("pNuevaHoja"), false, 8, m_hoja, m_archivo);
        ++m_hoja;
    }

    void encabezado();
    void rejilla(int filas);
    template<size_t N> void filasCasillas(const FilaCasilla (&filas)[N]);
    // A box value formatted as a figure of the summary and the debt:
    // right-aligned in 15, in 16 when negative so that its digits line up
    // with the others and the closing parenthesis stands out.
    QString figura(int casilla) const;
    // A table head of two lines in its box, from y.
    void cabezaTabla(int y, const TablaDetalle &tabla);
    // One row 270 below y (y moves to it). A row below the page's last line
    // closes the page; the next one starts with the header block and the
    // table head again.
    void filaTabla(int &y, const QString &linea, const TablaDetalle &tabla);
    // The closing lines and the total of a table, after its last row at y.
    void cierreTabla(int y, const TablaDetalle &tabla, const QString &total1, int x1, const QString &total2 = {},
                     int x2 = 0);
    QSqlQuery consultar(const ConsultaSql &c);

    QString casilla(int n) const { return m_casillas.value(n); }
    QString izquierda(const QString &t, int ancho) const { return m_util.alinearIzquierda(t, ancho); }
    QString derecha(const QString &t, int ancho) const { return m_util.alinearDerecha(t, ancho); }

    const AccesoDatos &m_datos;
    Utilidad m_utilPropia;
    const Utilidad &m_util;
    const DeclaracionImpresion &m_d;
    const CasillasImpresion &m_casillas;
    EscritorReporte &m_archivo;
    int m_hoja = 0;
};

QSqlQuery Escritura::consultar(const ConsultaSql &c)
{
    ErrorBD fallo;
    QSqlQuery q = m_datos.consultar(c, &fallo);
    if (fallo.hay() && !error.hay())
        error = fallo;
    return q;
}

void Escritura::encabezado()
{
    texto(300, 350, QStringLiteral("KORVAL"), true, 16);
    texto(300, 750, QStringLiteral("DECLARACION"));
    texto(550, 1100, QStringLiteral("PAGO"));
    texto(550, 1330, QStringLiteral("517"), true, 12);
    cuadro(150, 300, 1700, 1640);
    texto(2000, 400, QStringLiteral("QDL Zentorio"), true, 9);
    texto(4300, 850, QStringLiteral("Período ") + m_d.periodo.mid(4, 2) + u'-' + m_d.periodo.left(4), false, 7);
    cuadro(1700, 300, 8500, 1100);
    texto(1750, 1170, QStringLiteral("RUC"));
    texto(3500, 1170, m_d.ruc, true);
    cuadro(1700, 1100, 3400, 1370);
    cuadro(3400, 1100, 8500, 1370);
    texto(1750, 1450, QStringLiteral("RAZON SOCIAL"));
    texto(3500, 1450, m_d.razonSocial, true);
    cuadro(1700, 1370, 3400, 1640);
    cuadro(3400, 1370, 8500, 1640);
    texto(8700, 1170, QStringLiteral(" N° DE TELEFONO"));
    texto(9000, 1450, derecha(casilla(28), 7), true);
    texto(9000, 400, QStringLiteral("Copia para el"));
    texto(8600, 700, QStringLiteral("Contribuyente (Pag. %1)").arg(m_hoja + 1));
    cuadro(8500, 300, 11000, 1100);
    cuadro(8500, 1100, 11000, 1640);
    if (!m_d.numOrden.trimmed().isEmpty()) {
        cuadro(150, 1640, 2650, 1910);
        texto(300, 1720, QStringLiteral("NRO. CONTROL: "));
        texto(1800, 1720, derecha(m_d.numControl, 8), true);
        cuadro(8500, 1640, 11000, 1910);
        texto(8700, 1720, QStringLiteral("NRO. ORDEN: "));
        texto(10000, 1720, derecha(m_d.numOrden, 8), true);
    }
    cuadro(8500, 1100, 11000, 1370);
}

void Escritura::rejilla(int filas)
{
    for (int k = 0; k < filas; ++k) {
        cuadro(150, 2820 + kPaso * k, 8775, 3090 + kPaso * k);
        cuadro(6550, 2820 + kPaso * k, 6950, 3090 + kPaso * k);
    }
}

QString Escritura::figura(int n) const
{
    const QString valor = casilla(n);
    const auto numero = convertirNumero(valor);
    const QString texto = formato(QStringView(valor), n == 397 ? QStringView(u"###,###,###,##0.000") : QStringView(kPatronMonto));
    return derecha(texto, numero && numero->signo() < 0 ? 16 : 15);
}

template<size_t N> void Escritura::filasCasillas(const FilaCasilla (&filas)[N])
{
    int y = 2880;
    for (const FilaCasilla &f : filas) {
        texto(f.x, y, QString::fromUtf16(f.etiqueta));
        texto(6600, y, QString::number(f.casilla));
        texto(7050, y, figura(f.casilla));
        y += kPaso;
    }
}

void Escritura::cabezaTabla(int y, const TablaDetalle &tabla)
{
    cuadro(150, y, tabla.xFin, y + 2 * kPaso);
    texto(300, y, tabla.linea1, tabla.negrita, 9);
    texto(300, y + kPaso, tabla.linea2, tabla.negrita, 9);
}

void Escritura::filaTabla(int &y, const QString &linea, const TablaDetalle &tabla)
{
    y += kPaso;
    texto(300, y, linea, false, 9);
    if (y > kUltimaLinea) {
        nuevaHoja();
        encabezado();
        y = kCabezaContinuacion;
        cabezaTabla(y, tabla);
        y += kPaso;
    }
}

void Escritura::cierreTabla(int y, const TablaDetalle &tabla, const QString &total1, int x1, const QString &total2,
                            int x2)
{
    y += kPaso;
    cuadro(150, y, tabla.xFin, y);
    y += kPaso;
    texto(x1, y, total1, false, 9);
    if (!total2.isEmpty())
        texto(x2, y, total2, false, 9);
    y += kPaso;
    cuadro(150, y, tabla.xFin, y);
}

int Escritura::pHoja1r(int hoja)
{
    m_hoja = hoja;
    texto(0, 0, QStringLiteral("<!font!>Courier New<!/font!>"));
    texto(0, 0, QStringLiteral("<!Orientacion!>V<!/Orientacion!>"));
    texto(0, 0, QStringLiteral("<!Color!>&H00FFFFC0&<!/Color!>"));
    texto(0, 0, QStringLiteral("<!nHojas!>2<!/nHojas!>"));

    rejilla(std::size(kResumen));
    encabezado();
    texto(300, 2340, QStringLiteral("VUELOS Y CANTIDAD DE PASAJEROS "), true, 9);
    filasCasillas(kResumen);

    const int ultimaFila = 2880 + kPaso * (int(std::size(kResumen)) - 1);
    int y = ultimaFila + 810;
    texto(300, y, QStringLiteral("DETALLE DE VUELOS Y CANTIDAD DE PASAJEROS "), true, 9);
    y += kPaso;
    cabezaTabla(y, kTablaVuelos);
    y += kPaso;

    const QString tabla = m_d.historico ? QStringLiteral("HF517DETVP") : QStringLiteral("F517DETVP");
    const ConsultaSql vuelosSql = condiciones(
        m_d, QStringLiteral("SELECT fec_arribo, cod_vuelo, num_tripulantes, num_personal, num_transito, num_arrfor, "
                            "num_diplo, num_extrad, num_deport, num_adqanterior, num_afectos, mto_dolar FROM ")
                 + tabla + QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=?"),
        QStringLiteral("fec_arribo, cod_vuelo"));
    int vuelos = 0;
    QString linea;
    QString valores[12];
    const QSqlDatabase db = m_datos.contexto().db();
    if (motorDe(db) == Motor::SQLite) {
        // The flights are the bulk of a long print-out: read straight from
        // SQLite, each value as the Qt driver would give it.
        SentenciaSqlite q(db, vuelosSql.sql);
        for (qsizetype i = 0; i < vuelosSql.valores.size(); ++i)
            q.texto(int(i), vuelosSql.valores.at(i).toString());
        while (q.siguiente()) {
            ++vuelos;
            for (int c = 0; c < 12; ++c)
                q.textoEn(c, valores[c]);
            lineaVuelo(linea, valores, [&q] { return q.valor(0); });
            filaTabla(y, linea, kTablaVuelos);
        }
        if (q.error().hay() && !error.hay())
            error = q.error();
    } else {
        QSqlQuery q = consultar(vuelosSql);
        while (!error.hay() && q.next()) {
            ++vuelos;
            for (int c = 0; c < 12; ++c)
                valores[c] = q.value(c).toString();
            lineaVuelo(linea, valores, [&q] { return q.value(0); });
            filaTabla(y, linea, kTablaVuelos);
        }
    }
    if (error.hay())
        return m_hoja;
    cierreTabla(y, kTablaVuelos, QStringLiteral("Total de Vuelos en el Período : ") + QString::number(vuelos), 300,
                QStringLiteral("Total Impuesto US Dólares ( $ ): ") + formato(QStringView(casilla(396)), u"###,###,###,##0"),
                5300);
    return m_hoja;
}

int Escritura::pHoja4r(int hoja)
{
    m_hoja = hoja - 1;
    nuevaHoja();
    rejilla(std::size(kDeuda));
    encabezado();
    texto(300, 2340, QStringLiteral("DETERMINACION DE LA DEUDA "), true, 9);
    filasCasillas(kDeuda);

    int y = 2880 + kPaso * (int(std::size(kDeuda)) - 1);
    auto fila = [&](const QString &etiqueta, const QString &valor) {
        y += kPaso;
        cuadro(150, y, 6950, y + kPaso);
        cuadro(150, y, 8775, y + kPaso);
        texto(600, y, etiqueta);
        texto(7050, y, valor);
    };
    const QString forma = casilla(872);
    if (forma == u"E") {
        fila(QStringLiteral("EFECTIVO"), figura(410));
    } else if (forma == u"C") {
        fila(QStringLiteral("BANCO"), m_datos.ParametroFuncion(QStringLiteral("004"), casilla(15), 25, 1));
        fila(QStringLiteral("NRO. DE CHEQUE"), casilla(12));
    }
    fila(QStringLiteral("RECTIFICA"), casilla(5) == u"0" ? QStringLiteral("NO") : QStringLiteral("SI"));
    return m_hoja;
}

int Escritura::pHoja5r(int hoja)
{
    m_hoja = hoja - 1;
    nuevaHoja();
    encabezado();
    texto(300, 2340, QStringLiteral("DETALLE DE PAGOS PREVIOS "), true, 9);
    int y = kCabezaContinuacion;
    cabezaTabla(y, kTablaPagos);
    y += kPaso;

    const QString tabla = m_d.historico ? QStringLiteral("HF517PAGPRE") : QStringLiteral("F517PAGPRE");
    QSqlQuery q = consultar(condiciones(
        m_d, QStringLiteral("SELECT cod_boleta, num_operacion, fec_pago, mto_soles, tip_cambio, mto_dolar FROM ")
                 + tabla + QStringLiteral(" WHERE tip_doc_d=6 AND doc_id_d=? AND periodo=? AND formulario=?"),
        QStringLiteral("fec_pago, cod_boleta, num_operacion")));
    if (error.hay())
        return m_hoja;
    QHash<QString, QString> boletas;
    while (q.next()) {
        const QString codigo = q.value(0).toString();
        auto descripcion = boletas.constFind(codigo);
        if (descripcion == boletas.cend())
            descripcion = boletas.insert(codigo, m_datos.ParametroFuncion(QStringLiteral("965"), codigo, 30, 1));
        QString linea = izquierda(codigo + u'-' + *descripcion, 36);
        linea += izquierda(q.value(1).toString(), 12);
        linea += izquierda(fechaImpresa(q.value(2)), 11);
        linea += derecha(formato(QStringView(q.value(3).toString()), u"#,###,###,###,###"), 17);
        linea += derecha(recortarBlancos(q.value(4).toString()), 8);
        linea += derecha(formato(QStringView(q.value(5).toString()), u"#,###,###,###,###"), 17);
        filaTabla(y, linea, kTablaPagos);
    }
    cierreTabla(y, kTablaPagos,
                QStringLiteral("Total Pagos Previos en Nuevos Soles( S/. ): ")
                    + formato(QStringView(casilla(403)), QStringView(kPatronMonto)),
                5000);
    return m_hoja;
}

} // namespace

ReporteFormulario::ReporteFormulario(AccesoDatos &datos) : m_datos(datos) {}

ConsultaSql ReporteFormulario::consultaLista(const AccesoDatos &datos, bool historico)
{
    const Contexto &ctx = datos.contexto();
    ConsultaSql c;
    c.sql = QStringLiteral("SELECT A.DOC_ID_D, B.NOMBRE, A.PERIODO, substr(A.PERIODO,5,2) || substr(A.PERIODO,1,4) "
                           "AS PERIODOF, A.FORMULARIO, ");
    c.sql += historico ? QStringLiteral("A.NORDEN, A.FEC_ENV, A.CONTROL, A.CORREL, A.ESTADO FROM HCAB AS A, ")
                       : QStringLiteral("NULL AS NORDEN, NULL AS FEC_ENV, NULL AS CONTROL, NULL AS CORREL, "
                                        "A.ESTADO FROM CAB AS A, ");
    c.sql += QStringLiteral("CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 "
                            "AND A.FORMULARIO=?");
    c.valores << ctx.sFormulario;
    if (datos.TipoUsuario() != u"0") {
        c.sql += QStringLiteral(" AND B.USUARIO=?");
        c.valores << ctx.sUsuario;
    }
    // Within a taxpayer the latest period first, and a sent period's copies
    // in the order they were sent.
    c.sql += historico ? QStringLiteral(" AND A.ESTADO=1 ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.CORREL ASC")
                       : QStringLiteral(" ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC");
    return c;
}

CasillasImpresion ReporteFormulario::leerCasillas(const DeclaracionImpresion &d, ErrorBD *error) const
{
    CasillasImpresion casillas;
    ErrorBD fallo;
    const QString det = d.historico ? QStringLiteral("HDET") : QStringLiteral("DET");
    QSqlQuery q = m_datos.consultar(
        condiciones(d, QStringLiteral("SELECT CASILLA, I_VALOR FROM ") + det
                           + QStringLiteral(" WHERE DOC_ID_D=? AND PERIODO=? AND FORMULARIO=?")),
        &fallo);
    while (!fallo.hay() && q.next())
        casillas.insert(int(valEntero(q.value(0).toString())), q.value(1).toString());

    if (!fallo.hay()) {
        const QString cab = d.historico ? QStringLiteral("HCAB") : QStringLiteral("CAB");
        q = m_datos.consultar(condiciones(d, QStringLiteral("SELECT bcolibrad, cheque, efectivo, nrocheque FROM ") + cab
                                                 + QStringLiteral(" WHERE TIP_DOC_D=6 AND DOC_ID_D=? AND PERIODO=? "
                                                                  "AND FORMULARIO=?")),
                              &fallo);
        if (!fallo.hay() && q.next()) {
            casillas.insert(15, q.value(0).toString());
            const QString cheque = q.value(1).toString();
            casillas.insert(870, recortarBlancos(cheque).isEmpty() ? q.value(2).toString() : cheque);
            casillas.insert(12, q.value(3).toString());
        }
    }
    if (error)
        *error = fallo;
    return casillas;
}

int ReporteFormulario::ReporteForm(const QString &ruta, const DeclaracionImpresion &d,
                                   const CasillasImpresion &casillas)
{
    m_error.clear();
    EscritorReporte archivo;
    if (!archivo.abrir(ruta)) {
        m_error = archivo.error();
        return 0;
    }
    Escritura escritura(m_datos, d, casillas, archivo);
    int hoja = escritura.pHoja1r(0);
    if (!escritura.error.hay())
        hoja = escritura.pHoja4r(hoja + 1);
    if (!escritura.error.hay() && d.conAnexos)
        hoja = escritura.pHoja5r(hoja + 1);
    const bool escrito = archivo.cerrar();
    if (escritura.error.hay())
        m_error = QStringLiteral("Error Número : %1\n%2").arg(escritura.error.numero).arg(escritura.error.texto);
    else if (!escrito)
        m_error = archivo.error();
    if (!m_error.isEmpty()) {
        // Half a report is no copy of the declaration.
        QFile::remove(ruta);
        return 0;
    }
    return hoja + 1;
}

ReporteFormulario::Resultado ReporteFormulario::generar(const DeclaracionImpresion &d)
{
    Resultado r;
    auto fallo = [&r](const ErrorBD &e) {
        r.error = QStringLiteral("Error Número : %1\n%2").arg(e.numero).arg(e.texto);
        return r;
    };
    ErrorBD error;
    const CasillasImpresion casillas = leerCasillas(d, &error);
    if (error.hay())
        return fallo(error);
    r.archivo = m_datos.AsignarArchivoReporte(QString::fromLatin1(kCodigoReporte), 6, d.ruc, &error);
    if (error.hay())
        return fallo(error);
    r.paginas = ReporteForm(m_datos.contexto().sRutaReportes + u'/' + r.archivo, d, casillas);
    r.error = m_error;
    if (r.paginas == 0)
        m_datos.RetirarArchivoReporte(r.archivo);
    return r;
}

} // namespace kv
