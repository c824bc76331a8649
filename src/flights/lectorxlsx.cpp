#include "lectorxlsx.h"

#include <QBuffer>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRegularExpression>

#include <cmath>
#include <condition_variable>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>
#include <zip.h>

namespace kv {

// One part of the zip, read as the XML reader asks for it. It gives exactly
// as many bytes as the zip's directory says the part holds, or fails: what
// was counted against the limit before opening it is all it can expand to,
// and a part cut short is damaged.
class EntradaZip : public QIODevice
{
public:
    EntradaZip(zip_file_t *archivo, qint64 declarado)
        : m_archivo(archivo)
        , m_declarado(declarado)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~EntradaZip() override { zip_fclose(m_archivo); }

    bool isSequential() const override { return true; }
    qint64 leidos() const { return m_leidos; }
    qint64 declarado() const { return m_declarado; }
    bool fallo() const { return m_fallo; }

protected:
    qint64 readData(char *datos, qint64 maximo) override
    {
        if (m_fallo)
            return -1;
        const zip_int64_t n = zip_fread(m_archivo, datos, zip_uint64_t(maximo));
        // Neither more nor less than the directory says.
        if (n < 0 || m_leidos + n > m_declarado || (n == 0 && maximo > 0 && m_leidos != m_declarado)) {
            m_fallo = true;
            return -1;
        }
        m_leidos += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    zip_file_t *m_archivo;
    qint64 m_declarado;
    qint64 m_leidos = 0;
    bool m_fallo = false;
};

struct LectorXlsx::Zip
{
    zip_t *zip = nullptr;
    QByteArray datos; // a workbook read from memory

    ~Zip()
    {
        if (zip)
            zip_discard(zip);
    }
};

// The rows of a large sheet taken apart on several threads at once. The
// sheet's XML is expanded whole and cut where rows start into pieces of
// whole rows; each piece is read by its own XML reader, on whichever thread
// is free, within a few pieces of the one being handed out, and the rows are
// handed out in the sheet's order. Rows without a number are numbered as
// they are handed out, so that they follow the row before whatever piece it
// was in.
struct LectorXlsx::Paralelo
{
    struct Trozo
    {
        qsizetype inicio = 0;
        qsizetype fin = 0;
        bool listo = false;
        QList<FilaHoja> filas;
        QString error;
        bool xmlRoto = false;
    };

    QByteArray hoja;
    std::vector<Trozo> trozos;
    std::mutex mutex;
    std::condition_variable aviso;
    size_t proximo = 0; // the next piece a thread takes
    size_t actual = 0; // the piece being handed out
    bool parar = false;
    std::vector<std::thread> hilos;
    qsizetype pos = 0; // within the piece being handed out

    ~Paralelo()
    {
        {
            const std::lock_guard<std::mutex> cerrojo(mutex);
            parar = true;
        }
        aviso.notify_all();
        for (std::thread &h : hilos)
            h.join();
    }
};

namespace {

const QString kVerdadero = QStringLiteral("VERDADERO");
const QString kFalso = QStringLiteral("FALSO");

QString noEsZip(const QString &archivo)
{
    return QStringLiteral("El archivo «%1» no es un libro .xlsx: no es un archivo zip. Si el libro está "
                          "protegido con contraseña, guárdelo sin ella.")
        .arg(archivo);
}

QString danado(const QString &archivo)
{
    return QStringLiteral("El archivo «%1» está dañado o incompleto: no se puede leer como libro .xlsx.")
        .arg(archivo);
}

// The folder of a part ("xl" for "xl/workbook.xml"), or empty.
QString carpetaDe(const QString &parte)
{
    const qsizetype barra = parte.lastIndexOf(u'/');
    return barra < 0 ? QString() : parte.left(barra);
}

// A relationship's target as a part name of the zip: relative to the
// folder of the part that names it, or from the root when it starts with
// "/". Empty when it leaves the zip.
QString resolverDestino(const QString &carpeta, QStringView destino)
{
    QString ruta;
    if (destino.startsWith(u'/'))
        ruta = destino.sliced(1).toString();
    else if (carpeta.isEmpty())
        ruta = destino.toString();
    else
        ruta = carpeta + u'/' + destino.toString();
    ruta = QDir::cleanPath(ruta);
    if (ruta.startsWith(QStringLiteral("../")) || ruta == u".." || ruta.startsWith(u'/'))
        return {};
    return ruta;
}

QStringView atributo(const QXmlStreamAttributes &atributos, QStringView nombre)
{
    for (const QXmlStreamAttribute &a : atributos) {
        if (a.name() == nombre)
            return a.value();
    }
    return {};
}

// The text of a string item (<si>, <is>): its <t>, or the <t> of its runs;
// the phonetic hints beside them are not part of it.
QString juntarTexto(QXmlStreamReader &xml)
{
    QString texto;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"t") {
            texto += xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (xml.name() == u"r") {
            while (xml.readNextStartElement()) {
                if (xml.name() == u"t")
                    texto += xml.readElementText(QXmlStreamReader::IncludeChildElements);
                else
                    xml.skipCurrentElement();
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return texto;
}

// The built-in number formats that show a date.
bool formatoFechaIncorporado(int numero)
{
    return (numero >= 14 && numero <= 17) || numero == 22 || (numero >= 27 && numero <= 36)
        || (numero >= 50 && numero <= 58);
}

// A format of the workbook's own shows a date when, outside quoted text,
// bracketed codes and escaped characters, it has a day or a year.
bool codigoDeFecha(QStringView codigo)
{
    bool comillas = false;
    int corchetes = 0;
    for (qsizetype i = 0; i < codigo.size(); ++i) {
        const QChar c = codigo[i];
        if (comillas) {
            comillas = c != u'"';
        } else if (c == u'"') {
            comillas = true;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (c == u'[') {
            ++corchetes;
        } else if (c == u']') {
            corchetes = std::max(0, corchetes - 1);
        } else if (corchetes == 0) {
            const QChar m = c.toLower();
            if (m == u'd' || m == u'y')
                return true;
        }
    }
    return false;
}

// A number as a cell shows it without a format: a whole number without
// decimals or exponent, anything else as written.
QString textoNumero(const QString &valor)
{
    const QString v = valor.trimmed();
    if (!v.contains(u'.') && !v.contains(u'E') && !v.contains(u'e'))
        return v;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok && std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e15)
        return QString::number(qint64(d));
    return v;
}

// "A1" into a column from 0 and a row from 1; false when it is not a cell
// reference of a sheet.
bool leerReferencia(QStringView ref, int &columna, qint64 &fila)
{
    qsizetype letras = 0;
    while (letras < ref.size() && ref[letras] >= u'A' && ref[letras] <= u'Z')
        ++letras;
    const QStringView digitos = ref.sliced(letras);
    if (digitos.isEmpty() || digitos.size() > 7
        || !std::all_of(digitos.begin(), digitos.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return false;
    columna = columnaDeLetras(ref.first(letras));
    fila = digitos.toLongLong();
    return columna >= 0 && fila >= 1 && fila <= kFilasHoja;
}

} // namespace

LectorXlsx::LectorXlsx()
    : m_zip(std::make_unique<Zip>())
{
}

LectorXlsx::~LectorXlsx()
{
    // The threads end before what they read goes; the parts close before
    // the zip that holds them.
    m_paralelo.reset();
    m_xml.setDevice(nullptr);
    m_hojaEnMemoria.reset();
    m_xmlTextos.setDevice(nullptr);
    m_entradaHoja.reset();
    m_entradaTextos.reset();
}

std::unique_ptr<LectorXlsx> LectorXlsx::abrir(const QString &ruta, const QString &hoja, QString &error)
{
    const QString nombre = QFileInfo(ruta).fileName();
    QFile archivo(ruta);
    if (!archivo.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("No se pudo leer el archivo «%1»: %2")
                    .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
        return nullptr;
    }
    const QByteArray firma = archivo.read(4);
    if (archivo.error() != QFileDevice::NoError) {
        error = QStringLiteral("No se pudo leer el archivo «%1»: %2")
                    .arg(QDir::toNativeSeparators(ruta), archivo.errorString());
        return nullptr;
    }
    if (!firma.startsWith("PK")) {
        error = noEsZip(nombre);
        return nullptr;
    }
    archivo.close();

    std::unique_ptr<LectorXlsx> lector(new LectorXlsx);
    lector->m_archivo = nombre;
    int codigo = 0;
    lector->m_zip->zip = zip_open(QFile::encodeName(ruta).constData(), ZIP_RDONLY, &codigo);
    if (!lector->m_zip->zip && (codigo == ZIP_ER_OPEN || codigo == ZIP_ER_READ || codigo == ZIP_ER_MEMORY)) {
        error = QStringLiteral("No se pudo leer el archivo «%1».").arg(QDir::toNativeSeparators(ruta));
        return nullptr;
    }
    return preparado(std::move(lector), hoja, error);
}

std::unique_ptr<LectorXlsx> LectorXlsx::preparado(
    std::unique_ptr<LectorXlsx> lector, const QString &hoja, QString &error)
{
    if (!lector->m_zip->zip) {
        error = danado(lector->m_archivo);
        return nullptr;
    }
    if (!lector->preparar(hoja)) {
        error = lector->m_error;
        return nullptr;
    }
    return lector;
}

std::unique_ptr<LectorXlsx> LectorXlsx::abrirDatos(
    const QByteArray &datos, const QString &hoja, QString &error)
{
    const QString nombre = QStringLiteral("libro.xlsx");
    if (!datos.startsWith("PK")) {
        error = noEsZip(nombre);
        return nullptr;
    }
    std::unique_ptr<LectorXlsx> lector(new LectorXlsx);
    lector->m_archivo = nombre;
    lector->m_zip->datos = datos;
    zip_error_t e;
    zip_error_init(&e);
    zip_source_t *fuente
        = zip_source_buffer_create(lector->m_zip->datos.constData(), zip_uint64_t(datos.size()), 0, &e);
    if (fuente) {
        lector->m_zip->zip = zip_open_from_source(fuente, ZIP_RDONLY, &e);
        if (!lector->m_zip->zip)
            zip_source_free(fuente);
    }
    zip_error_fini(&e);
    return preparado(std::move(lector), hoja, error);
}

bool LectorXlsx::fallar(const QString &mensaje)
{
    if (m_error.isEmpty())
        m_error = mensaje;
    return false;
}

QString LectorXlsx::errorXml(const QXmlStreamReader &xml, const QString &parte) const
{
    const auto *entrada = dynamic_cast<const EntradaZip *>(xml.device());
    if ((entrada && entrada->fallo()) || !xml.hasError())
        return danado(m_archivo);
    return QStringLiteral("El archivo «%1» está dañado: la parte «%2» no es XML válido (%3).")
        .arg(m_archivo, parte, xml.errorString());
}

bool LectorXlsx::fallarXml(const QXmlStreamReader &xml, const QString &parte)
{
    return fallar(errorXml(xml, parte));
}

std::unique_ptr<EntradaZip> LectorXlsx::abrirParte(const QString &nombre)
{
    const zip_int64_t indice = zip_name_locate(m_zip->zip, nombre.toUtf8().constData(), ZIP_FL_NOCASE);
    if (indice < 0)
        return nullptr;
    zip_stat_t estado;
    zip_stat_init(&estado);
    if (zip_stat_index(m_zip->zip, zip_uint64_t(indice), 0, &estado) != 0
        || !(estado.valid & ZIP_STAT_SIZE)) {
        fallar(danado(m_archivo));
        return nullptr;
    }
    // Counted before a byte is expanded: a part that says it is larger than
    // what is left of the limit is never opened.
    if (estado.size > zip_uint64_t(kLimiteExpandido - m_expandido)) {
        fallar(QStringLiteral("El archivo «%1» se expandiría a más de 256 MB al leerlo: no se lee.")
                   .arg(m_archivo));
        return nullptr;
    }
    zip_file_t *archivo = zip_fopen_index(m_zip->zip, zip_uint64_t(indice), 0);
    if (!archivo) {
        fallar(danado(m_archivo));
        return nullptr;
    }
    m_expandido += qint64(estado.size);
    return std::make_unique<EntradaZip>(archivo, qint64(estado.size));
}

bool LectorXlsx::leerParte(const QString &nombre, QByteArray &datos, bool obligatoria)
{
    datos.clear();
    if (zip_name_locate(m_zip->zip, nombre.toUtf8().constData(), ZIP_FL_NOCASE) < 0) {
        if (obligatoria)
            return fallar(QStringLiteral("El archivo «%1» no es un libro .xlsx: le falta la parte «%2».")
                              .arg(m_archivo, nombre));
        return true;
    }
    const std::unique_ptr<EntradaZip> entrada = abrirParte(nombre);
    if (!entrada)
        return false;
    datos = entrada->readAll();
    if (entrada->fallo() || datos.size() != entrada->declarado())
        return fallar(danado(m_archivo));
    return true;
}

bool LectorXlsx::leerRelaciones(
    const QString &parte, QHash<QString, QString> &destinos, QHash<QString, QString> *tipos)
{
    const QString carpeta = carpetaDe(parte);
    const QString nombre = (carpeta.isEmpty() ? QString() : carpeta + u'/') + QStringLiteral("_rels/")
        + parte.mid(carpeta.isEmpty() ? 0 : carpeta.size() + 1) + QStringLiteral(".rels");
    // Without relationships the parts are looked for where they usually are.
    return recorrerParte(nombre, false, [&](QXmlStreamReader &xml) {
        if (!xml.isStartElement() || xml.name() != u"Relationship")
            return;
        const QXmlStreamAttributes a = xml.attributes();
        if (atributo(a, u"TargetMode") == u"External")
            return;
        const QString destino = resolverDestino(carpeta, atributo(a, u"Target"));
        destinos.insert(atributo(a, u"Id").toString(), destino);
        if (tipos) {
            // The last word of the type names the part: ".../styles".
            const QStringView tipo = atributo(a, u"Type");
            tipos->insert(tipo.sliced(tipo.lastIndexOf(u'/') + 1).toString(), destino);
        }
    });
}

bool LectorXlsx::leerEstilos(const QString &nombre)
{
    // Without styles no number is a date.
    QHash<int, bool> formatosPropios;
    bool enEstilosCelda = false;
    return recorrerParte(nombre, false, [&](QXmlStreamReader &xml) {
        if (xml.name() == u"cellXfs")
            enEstilosCelda = xml.isStartElement();
        if (!xml.isStartElement())
            return;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"numFmt") {
            formatosPropios.insert(
                atributo(a, u"numFmtId").toInt(), codigoDeFecha(atributo(a, u"formatCode")));
        } else if (xml.name() == u"xf" && enEstilosCelda) {
            const int formato = atributo(a, u"numFmtId").toInt();
            const auto propio = formatosPropios.constFind(formato);
            m_estiloFecha.append(
                propio != formatosPropios.cend() ? *propio : formatoFechaIncorporado(formato));
        }
    });
}

bool LectorXlsx::recorrerParte(
    const QString &nombre, bool obligatoria, const std::function<void(QXmlStreamReader &)> &alElemento)
{
    QByteArray datos;
    if (!leerParte(nombre, datos, obligatoria))
        return false;
    if (datos.isEmpty() && !obligatoria)
        return true;
    QXmlStreamReader xml(datos);
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement || token == QXmlStreamReader::EndElement)
            alElemento(xml);
    }
    if (xml.hasError())
        return fallarXml(xml, nombre);
    return true;
}

bool LectorXlsx::preparar(const QString &hoja)
{
    QHash<QString, QString> raiz;
    QHash<QString, QString> tiposRaiz;
    if (!leerRelaciones(QString(), raiz, &tiposRaiz))
        return false;
    const QString libro
        = tiposRaiz.value(QStringLiteral("officeDocument"), QStringLiteral("xl/workbook.xml"));
    struct Hoja
    {
        QString nombre;
        QString id;
        bool oculta = false;
    };
    QList<Hoja> hojas;
    const bool libroLeido = recorrerParte(libro, true, [&](QXmlStreamReader &xml) {
        if (!xml.isStartElement())
            return;
        const QXmlStreamAttributes a = xml.attributes();
        if (xml.name() == u"workbookPr") {
            const QStringView v = atributo(a, u"date1904");
            m_desde1904 = v == u"1" || v == u"true";
        } else if (xml.name() == u"sheet") {
            const QStringView estado = atributo(a, u"state");
            hojas.append({ atributo(a, u"name").toString(), atributo(a, u"id").toString(),
                estado == u"hidden" || estado == u"veryHidden" });
        }
    });
    if (!libroLeido)
        return false;

    QHash<QString, QString> destinos;
    QHash<QString, QString> tipos;
    if (!leerRelaciones(libro, destinos, &tipos))
        return false;
    const QString carpeta = carpetaDe(libro);
    const auto parteDe = [&](const QString &tipo, const QString &predeterminada) {
        return tipos.value(tipo, resolverDestino(carpeta, predeterminada));
    };
    if (!leerEstilos(parteDe(QStringLiteral("styles"), QStringLiteral("styles.xml"))))
        return false;
    m_parteTextos = parteDe(QStringLiteral("sharedStrings"), QStringLiteral("sharedStrings.xml"));

    if (hojas.isEmpty())
        return fallar(QStringLiteral("El libro «%1» no tiene ninguna hoja.").arg(m_archivo));
    for (const Hoja &h : hojas)
        m_nombres << h.nombre;
    // The first sheet a person sees, unless another is asked for.
    const Hoja *elegida = nullptr;
    for (const Hoja &h : hojas) {
        if (hoja.isEmpty() ? !h.oculta : h.nombre == hoja) {
            elegida = &h;
            break;
        }
    }
    if (!elegida && hoja.isEmpty())
        elegida = &hojas.front();
    if (!elegida)
        return fallar(QStringLiteral("El libro «%1» no tiene la hoja «%2».").arg(m_archivo, hoja));
    m_hoja = elegida->nombre;
    m_parteHoja = destinos.value(elegida->id);
    if (m_parteHoja.isEmpty()
        || zip_name_locate(m_zip->zip, m_parteHoja.toUtf8().constData(), ZIP_FL_NOCASE) < 0)
        return fallar(
            QStringLiteral("El libro «%1» nombra la hoja «%2» pero no la contiene.").arg(m_archivo, m_hoja));
    m_entradaHoja = abrirParte(m_parteHoja);
    if (!m_entradaHoja)
        return false;
    m_xml.setNamespaceProcessing(false);
    m_xml.setDevice(m_entradaHoja.get());
    return true;
}

qint64 LectorXlsx::leido() const
{
    if (m_paralelo)
        return m_paralelo->actual < m_paralelo->trozos.size() ? m_paralelo->trozos[m_paralelo->actual].inicio
                                                              : total();
    if (m_hojaEnMemoria)
        return m_hojaEnMemoria->pos();
    return m_entradaHoja ? m_entradaHoja->leidos() : 0;
}

qint64 LectorXlsx::total() const
{
    return m_entradaHoja ? m_entradaHoja->declarado() : 0;
}

QString LectorXlsx::fechaDeSerie(double serie, bool desde1904)
{
    // 2958465 is 31/12/9999 counted from 1900, the last day a sheet shows.
    if (!(serie >= 0 && serie < 2958466))
        return {};
    const qint64 dias = qint64(std::floor(serie));
    QDate fecha;
    if (desde1904) {
        fecha = QDate(1904, 1, 1).addDays(dias);
    } else {
        if (dias < 1)
            return {};
        if (dias == 60)
            return QStringLiteral("29/02/1900");
        fecha = QDate(1899, 12, dias < 60 ? 31 : 30).addDays(dias);
    }
    if (!fecha.isValid() || fecha.year() > 9999)
        return {};
    return fecha.toString(u"dd/MM/yyyy");
}

bool LectorXlsx::textoCompartido(qint64 indice, QString &salida, QString &error)
{
    while (indice >= m_textos.size() && !m_textosCompletos) {
        if (!m_entradaTextos) {
            if (zip_name_locate(m_zip->zip, m_parteTextos.toUtf8().constData(), ZIP_FL_NOCASE) < 0) {
                m_textosCompletos = true;
                break;
            }
            m_entradaTextos = abrirParte(m_parteTextos);
            if (!m_entradaTextos) {
                error = m_error;
                return false;
            }
            m_xmlTextos.setDevice(m_entradaTextos.get());
        }
        bool otro = false;
        while (!m_xmlTextos.atEnd()) {
            if (m_xmlTextos.readNext() == QXmlStreamReader::StartElement && m_xmlTextos.name() == u"si") {
                // A text the part breaks in is no text.
                QString texto = juntarTexto(m_xmlTextos);
                if (m_xmlTextos.hasError())
                    break;
                m_textos.append(std::move(texto));
                otro = true;
                break;
            }
        }
        if (m_xmlTextos.hasError()) {
            error = errorXml(m_xmlTextos, m_parteTextos);
            return false;
        }
        m_textosCompletos = !otro;
    }
    if (indice >= m_textos.size()) {
        error = !m_errorTextos.isEmpty()
            ? m_errorTextos
            : QStringLiteral("El archivo «%1» está dañado: una celda de la hoja «%2» usa el texto "
                             "compartido %3, que el libro no tiene.")
                  .arg(m_archivo, m_hoja)
                  .arg(indice);
        return false;
    }
    salida = m_textos.at(indice);
    return true;
}

bool LectorXlsx::leerCelda(QXmlStreamReader &xml, FilaHoja &fila, int &columna, QString &error)
{
    const QXmlStreamAttributes a = xml.attributes();
    const QStringView ref = atributo(a, u"r");
    const QStringView tipo = atributo(a, u"t");
    const QStringView estilo = atributo(a, u"s");
    int col = columna;
    if (!ref.isEmpty()) {
        qint64 filaRef = 0;
        if (!leerReferencia(ref, col, filaRef))
            col = kColumnasHoja;
    }
    if (col >= kColumnasHoja) {
        error = QStringLiteral("La celda «%1» de la hoja «%2» está fuera de los límites de una hoja "
                               "de cálculo (columnas A a XFD, filas 1 a 1048576).")
                    .arg(ref.isEmpty() ? letraColumna(kColumnasHoja) : ref.left(20).toString(), m_hoja);
        return false;
    }
    columna = col + 1;

    QString valor;
    QString enLinea;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"v")
            valor = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        else if (xml.name() == u"is")
            enLinea = juntarTexto(xml);
        else
            xml.skipCurrentElement();
    }
    if (xml.hasError())
        return false;

    QString texto;
    bool esFecha = false;
    if (tipo == u"s") {
        bool ok = false;
        const qint64 indice = valor.trimmed().toLongLong(&ok);
        if (!ok || indice < 0) {
            error = danado(m_archivo);
            return false;
        }
        if (!textoCompartido(indice, texto, error))
            return false;
    } else if (tipo == u"inlineStr") {
        texto = enLinea;
    } else if (tipo == u"b") {
        const QString v = valor.trimmed();
        if (!v.isEmpty())
            texto = v == u"1" || v == u"true" ? kVerdadero : kFalso;
    } else if (tipo == u"str" || tipo == u"e") {
        texto = valor;
    } else if (tipo == u"d") {
        // A date written as ISO text.
        const QString v = valor.trimmed();
        const QDate fecha = QDate::fromString(v.left(10), Qt::ISODate);
        texto = fecha.isValid() ? fecha.toString(u"dd/MM/yyyy") : v;
        esFecha = fecha.isValid();
    } else {
        texto = textoNumero(valor);
        bool ok = false;
        const int numeroEstilo = estilo.isEmpty() ? 0 : estilo.toInt(&ok);
        if (!texto.isEmpty() && numeroEstilo >= 0 && numeroEstilo < m_estiloFecha.size()
            && m_estiloFecha.at(numeroEstilo)) {
            const QString fecha = fechaDeSerie(valor.trimmed().toDouble(), m_desde1904);
            if (!fecha.isEmpty()) {
                texto = fecha;
                esFecha = true;
            }
        }
    }
    if (col >= fila.celdas.size())
        fila.celdas.resize(col + 1);
    fila.celdas[col] = texto;
    // A second cell of the same column replaces the first, date or not.
    fila.fechas.removeAll(col);
    if (esFecha)
        fila.fechas.append(col);
    return true;
}

bool LectorXlsx::leerFila(QXmlStreamReader &xml, FilaHoja &fila, QString &error)
{
    // Without its number a row follows the one before: 0 until it is known.
    qint64 numero = 0;
    const QXmlStreamAttributes atributos = xml.attributes();
    const QStringView r = atributo(atributos, u"r");
    if (!r.isEmpty()) {
        bool ok = false;
        numero = r.toLongLong(&ok);
        if (!ok || numero < 1 || numero > kFilasHoja) {
            error = filaFuera(r.left(20).toString());
            return false;
        }
    }
    fila.numero = numero;
    fila.celdas.clear();
    fila.fechas.clear();
    int columna = 0;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"c") {
            if (!leerCelda(xml, fila, columna, error))
                return false;
        } else {
            xml.skipCurrentElement();
        }
    }
    return !xml.hasError();
}

QString LectorXlsx::filaFuera(const QString &fila) const
{
    return QStringLiteral("La fila «%1» de la hoja «%2» está fuera de los límites de una hoja de cálculo "
                          "(filas 1 a 1048576).")
        .arg(fila, m_hoja);
}

bool LectorXlsx::numerar(FilaHoja &fila)
{
    if (fila.numero == 0)
        fila.numero = m_ultimaFila + 1;
    if (fila.numero > kFilasHoja)
        return fallar(filaFuera(QString::number(fila.numero)));
    m_ultimaFila = fila.numero;
    return true;
}

bool LectorXlsx::siguiente(FilaHoja &fila)
{
    if (!m_error.isEmpty() || !m_entradaHoja)
        return false;
    if (m_paralelo)
        return siguienteEnParalelo(fila);
    // The rows are the elements "row" right inside the first "sheetData";
    // anything else there is passed over whole.
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::EndElement && m_datos == Datos::Dentro) {
            m_datos = Datos::Leidos;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (m_datos == Datos::Antes && m_xml.name() == u"sheetData") {
            m_datos = Datos::Dentro;
            continue;
        }
        if (m_datos != Datos::Dentro)
            continue;
        if (m_xml.name() != u"row") {
            m_xml.skipCurrentElement();
            continue;
        }
        QString error;
        if (!leerFila(m_xml, fila, error)) {
            if (!error.isEmpty())
                return fallar(error);
            break;
        }
        if (!numerar(fila))
            return false;
        if (!fila.enBlanco())
            return true;
    }
    // The end of the XML is the end of the part only when the zip says the
    // part was whole (its check sum is tested on the last read).
    if (!m_xml.hasError() && !m_entradaHoja->fallo()) {
        char resto[64];
        while (m_entradaHoja->read(resto, sizeof resto) > 0) { }
    }
    if (m_xml.hasError() || m_entradaHoja->fallo())
        return fallarXml(m_xml, m_parteHoja);
    return false;
}

namespace {

// The piece of a sheet kept ahead of the one being handed out.
constexpr size_t kTrozosAdelante = 8;

// The local name of the tag that starts at `i` (after "<" or "</").
QByteArrayView nombreEtiqueta(QByteArrayView xml, qsizetype i)
{
    qsizetype fin = i;
    while (fin < xml.size() && xml[fin] != ' ' && xml[fin] != '>' && xml[fin] != '/' && xml[fin] != '\t'
        && xml[fin] != '\n' && xml[fin] != '\r')
        ++fin;
    QByteArrayView nombre = xml.sliced(i, fin - i);
    const qsizetype dos = nombre.lastIndexOf(':');
    return dos < 0 ? nombre : nombre.sliced(dos + 1);
}

// Where the rows of a sheet's XML start (the elements "row" right inside
// the first "sheetData") and where they end (the tag closing it); false
// when the XML is not plain enough to be cut (a document type, a comment,
// section or tag left open). Every "<" of an XML document starts markup,
// and a tag ends at the first ">" outside quotes, so looking at each "<" is
// enough to find the tags and how deep each one stands.
bool cortarFilas(QByteArrayView xml, QList<qsizetype> &filas, qsizetype &finDatos)
{
    int nivel = 0; // elements open
    int nivelDatos = -1; // the level of sheetData's children, once it is open
    qsizetype i = 0;
    for (;;) {
        i = xml.indexOf('<', i);
        if (i < 0)
            return false;
        const QByteArrayView resto = xml.sliced(i);
        const auto saltarHasta = [&](QByteArrayView cierre) {
            const qsizetype f = xml.indexOf(cierre, i);
            if (f < 0)
                return false;
            i = f + cierre.size();
            return true;
        };
        if (resto.startsWith("<!--")) {
            if (!saltarHasta("-->"))
                return false;
            continue;
        }
        if (resto.startsWith("<![CDATA[")) {
            if (!saltarHasta("]]>"))
                return false;
            continue;
        }
        if (resto.startsWith("<?")) {
            if (!saltarHasta("?>"))
                return false;
            continue;
        }
        if (resto.startsWith("<!"))
            return false;
        if (resto.startsWith("</")) {
            if (nivel == nivelDatos) {
                finDatos = i;
                return true;
            }
            if (--nivel < 0)
                return false;
            i += 2;
            continue;
        }
        qsizetype fin = i + 1;
        char comilla = 0;
        for (; fin < xml.size(); ++fin) {
            const char c = xml[fin];
            if (comilla)
                comilla = c == comilla ? 0 : comilla;
            else if (c == '"' || c == '\'')
                comilla = c;
            else if (c == '>')
                break;
        }
        if (fin >= xml.size())
            return false;
        const bool vacio = xml[fin - 1] == '/';
        const QByteArrayView nombre = nombreEtiqueta(xml, i + 1);
        if (nivelDatos < 0 && nombre == "sheetData") {
            if (vacio) {
                finDatos = fin + 1;
                return true;
            }
            nivelDatos = ++nivel;
        } else {
            if (nivel == nivelDatos && nombre == "row")
                filas.append(i);
            if (!vacio)
                ++nivel;
        }
        i = fin + 1;
    }
}

} // namespace

bool LectorXlsx::leerEnParalelo(int hilos, qsizetype tamanoTrozo)
{
    if (m_paralelo || !m_error.isEmpty() || !m_entradaHoja || m_entradaHoja->leidos() > 0)
        return false;
    QByteArray hoja = m_entradaHoja->readAll();
    if (m_entradaHoja->fallo() || hoja.size() != m_entradaHoja->declarado())
        return fallar(danado(m_archivo));
    // Only UTF-8 without a document type can be cut into pieces read apart
    // (a declaration naming another encoding is kept to when read in order).
    QList<qsizetype> filas;
    qsizetype finDatos = 0;
    bool utf8 = !hoja.startsWith("\xFE\xFF") && !hoja.startsWith("\xFF\xFE");
    const qsizetype inicio = hoja.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    if (utf8 && QByteArrayView(hoja).sliced(inicio).startsWith("<?xml")) {
        static const QRegularExpression declarada(QStringLiteral("encoding\\s*=\\s*[\"']([^\"']*)"));
        const qsizetype fin = hoja.indexOf("?>");
        const QRegularExpressionMatch m
            = declarada.match(QString::fromLatin1(hoja.left(fin < 0 ? 200 : fin)).toLower());
        utf8 = !m.hasMatch() || m.captured(1) == u"utf-8" || m.captured(1) == u"utf8";
    }
    if (!utf8 || !cortarFilas(hoja, filas, finDatos)) {
        // Read as one piece, in order, as the rows would be read otherwise.
        m_hojaEnMemoria = std::make_unique<QBuffer>();
        m_hojaEnMemoria->setData(hoja);
        m_hojaEnMemoria->open(QIODevice::ReadOnly);
        m_xml.setDevice(m_hojaEnMemoria.get());
        return true;
    }
    // The rest of the sheet, its rows taken out, must be XML as well.
    {
        QXmlStreamReader marco(hoja.left(filas.isEmpty() ? finDatos : filas.first()) + hoja.sliced(finDatos));
        while (!marco.atEnd())
            marco.readNext();
        if (marco.hasError())
            return fallar(errorXml(marco, m_parteHoja));
    }
    // Every shared text, before any thread asks for one. A part that breaks
    // part way is an error only for a cell that needs a text past the break,
    // as when the rows are read in order.
    {
        const QString antes = m_error;
        QString error;
        QString texto;
        if (!textoCompartido(std::numeric_limits<qint64>::max(), texto, error) && !m_textosCompletos) {
            m_error = antes;
            m_errorTextos = error;
        }
        m_textosCompletos = true;
    }

    m_paralelo = std::make_unique<Paralelo>();
    Paralelo &p = *m_paralelo;
    for (qsizetype i = 0; i < filas.size();) {
        Paralelo::Trozo t;
        t.inicio = filas.at(i);
        while (i < filas.size() && filas.at(i) - t.inicio < std::max<qsizetype>(tamanoTrozo, 1))
            ++i;
        t.fin = i < filas.size() ? filas.at(i) : finDatos;
        p.trozos.push_back(std::move(t));
    }
    p.hoja = std::move(hoja);
    for (int h = 0; h < std::max(1, hilos); ++h)
        p.hilos.emplace_back([this, &p] { leerTrozos(p); });
    return true;
}

void LectorXlsx::leerTrozos(Paralelo &p)
{
    for (;;) {
        size_t n = 0;
        {
            std::unique_lock<std::mutex> cerrojo(p.mutex);
            p.aviso.wait(cerrojo, [&p] {
                return p.parar || p.proximo >= p.trozos.size() || p.proximo < p.actual + kTrozosAdelante;
            });
            if (p.parar || p.proximo >= p.trozos.size())
                return;
            n = p.proximo++;
        }
        const Paralelo::Trozo &t = p.trozos[n];
        QByteArray trozo;
        trozo.reserve(t.fin - t.inicio + 7);
        trozo.append("<d>").append(QByteArrayView(p.hoja).sliced(t.inicio, t.fin - t.inicio)).append("</d>");
        QXmlStreamReader xml(trozo);
        xml.setNamespaceProcessing(false);
        QList<FilaHoja> filas;
        QString error;
        bool roto = false;
        if (xml.readNextStartElement()) {
            while (xml.readNextStartElement()) {
                if (xml.name() != u"row") {
                    xml.skipCurrentElement();
                    continue;
                }
                FilaHoja fila;
                if (!leerFila(xml, fila, error))
                    break;
                filas.append(std::move(fila));
            }
        }
        if (error.isEmpty() && xml.hasError()) {
            roto = true;
            error = errorXml(xml, m_parteHoja);
        }
        {
            const std::lock_guard<std::mutex> cerrojo(p.mutex);
            Paralelo::Trozo &listo = p.trozos[n];
            listo.filas = std::move(filas);
            listo.error = std::move(error);
            listo.xmlRoto = roto;
            listo.listo = true;
        }
        p.aviso.notify_all();
    }
}

bool LectorXlsx::siguienteEnParalelo(FilaHoja &fila)
{
    Paralelo &p = *m_paralelo;
    for (;;) {
        if (p.actual >= p.trozos.size())
            return false;
        Paralelo::Trozo &t = p.trozos[p.actual];
        if (!t.listo) {
            std::unique_lock<std::mutex> cerrojo(p.mutex);
            p.aviso.wait(cerrojo, [&t] { return t.listo; });
        }
        if (p.pos < t.filas.size()) {
            fila = std::move(t.filas[p.pos++]);
            if (!numerar(fila))
                return false;
            if (!fila.enBlanco())
                return true;
            continue;
        }
        if (!t.error.isEmpty())
            return fallar(t.error);
        {
            const std::lock_guard<std::mutex> cerrojo(p.mutex);
            t.filas = {};
            ++p.actual;
            p.pos = 0;
        }
        p.aviso.notify_all();
    }
}

} // namespace kv
