#include "lectorreporte.h"

#include "store/numeros.h"
#include "store/texto.h"

#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

constexpr int kErrorArchivo = 53;
constexpr int kErrorAcceso = 75;
constexpr int kErrorTipos = 13;
constexpr int kErrorDesborde = 6;
constexpr int kErrorLinea = 62;

QString recortar(QStringView s)
{
    return recortarBlancos(s);
}

// A piece of a line as a message quotes it: at most 80 characters (the last
// one "…" when it was cut) and nothing a terminal or a message box would
// take as a command or lose (control characters show as "�").
QString citar(QStringView texto)
{
    constexpr qsizetype kMaximo = 80;
    const bool cortado = texto.size() > kMaximo;
    QString r = texto.left(cortado ? kMaximo - 1 : kMaximo).toString();
    for (QChar &c : r) {
        if (!c.isPrint() && c != u' ')
            c = QChar::ReplacementCharacter;
    }
    if (cortado)
        r += u'…';
    return r;
}

// The fields of a drawing record, each up to its "|".
class Campos
{
public:
    Campos(QStringView resto, int linea, ErrorLectura &error) : m_resto(resto), m_linea(linea), m_error(error) {}

    std::optional<QString> texto(const char *nombre)
    {
        const qsizetype fin = m_resto.indexOf(u'|');
        if (fin < 0) {
            m_error = ErrorLectura{kErrorLinea, m_linea,
                                   QStringLiteral("falta el \"|\" que cierra el campo %1").arg(QString::fromUtf8(nombre))};
            return std::nullopt;
        }
        QString campo = m_resto.left(fin).toString();
        m_resto = m_resto.mid(fin + 1);
        return campo;
    }

    std::optional<int> numero(const char *nombre)
    {
        const auto campo = texto(nombre);
        if (!campo)
            return std::nullopt;
        const std::int64_t v = valEntero(*campo);
        if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) {
            m_error = ErrorLectura{kErrorDesborde, m_linea,
                                   QStringLiteral("el campo %1 (%2) no cabe en un entero de 16 bits")
                                       .arg(QString::fromUtf8(nombre), citar(*campo))};
            return std::nullopt;
        }
        return int(v);
    }

    std::optional<bool> logico(const char *nombre)
    {
        const auto campo = texto(nombre);
        if (!campo)
            return std::nullopt;
        const QString limpio = recortar(*campo);
        if (limpio.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            return true;
        if (limpio.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            return false;
        if (const auto n = convertirNumero(limpio))
            return !n->esCero();
        m_error = ErrorLectura{kErrorTipos, m_linea,
                               QStringLiteral("el campo %1 (\"%2\") no es True, False ni un número")
                                   .arg(QString::fromUtf8(nombre), citar(*campo))};
        return std::nullopt;
    }

private:
    QStringView m_resto;
    int m_linea;
    ErrorLectura &m_error;
};

// The value of a header record: what lies between the opening tag and the
// closing one (or the end of the line when the closing tag is missing).
QString valorEncabezado(QStringView resto)
{
    const qsizetype cierre = resto.indexOf(QLatin1String("<!"));
    return (cierre < 0 ? resto : resto.left(cierre)).toString();
}

} // namespace

QString ErrorLectura::descripcion() const
{
    if (linea <= 0)
        return motivo;
    return QStringLiteral("Línea %1: %2").arg(linea).arg(motivo);
}

quint32 leerColorOle(const QString &valor)
{
    // The trailing "&" goes, the rest is read in "&H" notation.
    QString texto = recortar(QStringView(valor).left(std::max<qsizetype>(0, valor.size() - 1)));
    if (texto.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        quint64 n = 0;
        for (qsizetype i = 2; i < texto.size() && i < 10; ++i) {
            const int d = QChar(texto[i]).isDigit() ? texto[i].unicode() - u'0'
                          : (texto[i].toUpper() >= u'A' && texto[i].toUpper() <= u'F')
                              ? texto[i].toUpper().unicode() - u'A' + 10
                              : -1;
            if (d < 0)
                break;
            n = n * 16 + quint64(d);
        }
        return quint32(n);
    }
    const std::int64_t n = valEntero(texto);
    return quint32(n);
}

std::optional<Registro> LectorReporte::interpretar(const QString &linea, int numeroLinea, ErrorLectura &error)
{
    // The kind is the shortest start of the line that ends in "|" (dropped),
    // "!>" or "aHoja", trimmed of blanks.
    qsizetype fin = -1;
    QString tipo;
    for (qsizetype i = 1; i <= linea.size(); ++i) {
        const QStringView inicio = QStringView(linea).left(i);
        if (inicio.endsWith(u'|')) {
            tipo = recortar(inicio.chopped(1));
            fin = i;
            break;
        }
        if (inicio.endsWith(QLatin1String("!>")) || inicio.endsWith(QLatin1String("aHoja"))) {
            tipo = recortar(inicio);
            fin = i;
            break;
        }
    }
    if (fin < 0) {
        error = ErrorLectura{kErrorLinea, numeroLinea,
                             linea.trimmed().isEmpty()
                                 ? QStringLiteral("línea vacía")
                                 : QStringLiteral("no se reconoce el tipo de registro en \"%1\"").arg(citar(linea))};
        return std::nullopt;
    }

    const QStringView resto = QStringView(linea).mid(fin);
    Registro r;
    r.linea = numeroLinea;

    if (tipo == QLatin1String("pNuevaHoja")) {
        r.tipo = Registro::Tipo::NuevaHoja;
        return r;
    }
    if (tipo == QLatin1String("<!font!>")) {
        r.tipo = Registro::Tipo::Fuente;
        r.valor = recortar(valorEncabezado(resto));
        return r;
    }
    if (tipo == QLatin1String("<!nHojas!>")) {
        r.tipo = Registro::Tipo::NumeroHojas;
        r.valor = recortar(valorEncabezado(resto));
        return r;
    }
    if (tipo == QLatin1String("<!Orientacion!>")) {
        r.tipo = Registro::Tipo::Orientacion;
        r.valor = recortar(valorEncabezado(resto));
        return r;
    }
    if (tipo == QLatin1String("<!Color!>")) {
        r.tipo = Registro::Tipo::Color;
        r.valor = valorEncabezado(resto);
        r.color = leerColorOle(r.valor);
        r.valor = recortar(r.valor);
        return r;
    }

    const bool esTexto = tipo == QLatin1String("pPos");
    const bool esVertical = tipo == QLatin1String("pPosVerti");
    if (esTexto || esVertical) {
        r.tipo = esTexto ? Registro::Tipo::Texto : Registro::Tipo::TextoVertical;
        Campos c(resto, numeroLinea, error);
        const auto x = c.numero("x");
        if (!x)
            return std::nullopt;
        const auto y = c.numero("y");
        if (!y)
            return std::nullopt;
        auto texto = c.texto("texto");
        if (!texto)
            return std::nullopt;
        const auto negrita = c.logico("negrita");
        if (!negrita)
            return std::nullopt;
        const auto tamano = c.numero("tamaño");
        if (!tamano)
            return std::nullopt;
        const auto hoja = c.numero("hoja");
        if (!hoja)
            return std::nullopt;
        r.x = *x;
        r.y = *y;
        r.texto = std::move(*texto);
        r.negrita = *negrita;
        r.tamano = *tamano;
        r.hoja = *hoja;
        return r;
    }
    if (tipo == QLatin1String("pCuadro")) {
        r.tipo = Registro::Tipo::Cuadro;
        Campos c(resto, numeroLinea, error);
        int *destinos[] = {&r.x, &r.y, &r.x2, &r.y2, &r.hoja};
        const char *nombres[] = {"x1", "y1", "x2", "y2", "hoja"};
        for (int i = 0; i < 5; ++i) {
            const auto v = c.numero(nombres[i]);
            if (!v)
                return std::nullopt;
            *destinos[i] = *v;
        }
        return r;
    }
    // Any other kind: skipped.
    return std::nullopt;
}

bool LectorReporte::abrir(const QString &ruta)
{
    m_archivo.close();
    m_error = {};
    m_linea = 0;
    // Opened without waiting and checked before anything is read: a FIFO
    // would hold the reader until someone wrote to it, a device would never
    // end. Only a regular file is a report.
    const int descriptor = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        m_error = ErrorLectura{kErrorArchivo, 0,
                               QStringLiteral("No se pudo abrir %1: %2")
                                   .arg(ruta, QString::fromLocal8Bit(std::strerror(errno)))};
        return false;
    }
    struct stat datos {};
    if (::fstat(descriptor, &datos) != 0 || !S_ISREG(datos.st_mode)) {
        ::close(descriptor);
        m_error = ErrorLectura{kErrorAcceso, 0, QStringLiteral("%1 no es un archivo regular").arg(ruta)};
        return false;
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    if (!m_archivo.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        m_error = ErrorLectura{kErrorArchivo, 0,
                               QStringLiteral("No se pudo abrir %1: %2").arg(ruta, m_archivo.errorString())};
        return false;
    }
    return true;
}

bool LectorReporte::irA(qint64 posicion, int linea)
{
    m_error = {};
    if (!m_archivo.isOpen() || !m_archivo.seek(posicion)) {
        m_error = ErrorLectura{kErrorArchivo, linea, QStringLiteral("no se pudo volver a leer el archivo")};
        return false;
    }
    m_linea = linea - 1;
    return true;
}

bool LectorReporte::siguiente(Registro &registro)
{
    if (m_error.hay() || !m_archivo.isOpen())
        return false;
    while (!m_archivo.atEnd()) {
        const qint64 posicion = m_archivo.pos();
        QByteArray bytes = m_archivo.readLine();
        ++m_linea;
        if (bytes.endsWith('\n'))
            bytes.chop(1);
        if (bytes.endsWith('\r'))
            bytes.chop(1);
        auto r = interpretar(desdeCp1252(bytes), m_linea, m_error);
        if (m_error.hay())
            return false;
        if (!r)
            continue;
        r->posicion = posicion;
        registro = std::move(*r);
        return true;
    }
    return false;
}

QString periodoDeReporte(const QString &ruta)
{
    // Every writer of the system puts the period in the heading, a little
    // way down the first page.
    constexpr int kRegistrosMirados = 400;
    static const QRegularExpression periodo(QStringLiteral("PER[IÍ]ODO[ :-]*([0-9]{2})[-/]([0-9]{4})"),
                                            QRegularExpression::CaseInsensitiveOption);
    LectorReporte lector;
    if (!lector.abrir(ruta))
        return {};
    Registro r;
    for (int i = 0; i < kRegistrosMirados && lector.siguiente(r); ++i) {
        if (r.esDibujo() && r.hoja > 0)
            break;
        if (r.tipo != Registro::Tipo::Texto)
            continue;
        const QRegularExpressionMatch m = periodo.match(r.texto);
        if (m.hasMatch())
            return m.captured(1) + u'/' + m.captured(2);
    }
    return {};
}

DocumentoReporte leerReporte(const QString &ruta)
{
    DocumentoReporte doc;
    LectorReporte lector;
    if (!lector.abrir(ruta)) {
        doc.error = lector.error();
        return doc;
    }
    Registro r;
    while (lector.siguiente(r)) {
        switch (r.tipo) {
        case Registro::Tipo::Fuente:
            doc.fuente = r.valor;
            break;
        case Registro::Tipo::NumeroHojas:
            doc.hojasDeclaradas = int(valEntero(r.valor));
            break;
        case Registro::Tipo::Orientacion:
            if (r.valor == QLatin1String("H"))
                doc.orientacion = Orientacion::Horizontal;
            break;
        case Registro::Tipo::Color:
            doc.hayColor = true;
            doc.colorOle = r.color;
            for (Pagina &p : doc.paginas)
                p.colorOle = r.color;
            break;
        case Registro::Tipo::NuevaHoja:
            ++doc.saltos;
            break;
        default:
            if (r.hoja < 0)
                break; // no page of its own: never drawn
            while (doc.paginas.size() <= r.hoja)
                doc.paginas.append(Pagina{doc.colorOle, {}});
            doc.paginas[r.hoja].registros.append(r);
            break;
        }
    }
    doc.error = lector.error();
    return doc;
}

} // namespace kv
