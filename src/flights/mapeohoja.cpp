#include "mapeohoja.h"

#include "store/archivoini.h"

#include <QDate>
#include <QFileInfo>

namespace kv {

namespace {

// Besides the grid's captions, the headings each field is known by.
const std::array<QStringList, kCamposVuelo> &otrasFormas()
{
    static const std::array<QStringList, kCamposVuelo> formas = {
        QStringList { QStringLiteral("Fecha"), QStringLiteral("Fec.Arribo"), QStringLiteral("Date") },
        QStringList { QStringLiteral("Vuelo"), QStringLiteral("Codigo"), QStringLiteral("Flight") },
        QStringList { QStringLiteral("Trip."), QStringLiteral("Crew") },
        QStringList { QStringLiteral("Pers."), QStringLiteral("Staff") },
        QStringList { QStringLiteral("Tran."), QStringLiteral("Transit") },
        QStringList { QStringLiteral("Forz."), QStringLiteral("Diverted") },
        QStringList { QStringLiteral("Dipl."), QStringLiteral("Diplomats") },
        QStringList { QStringLiteral("Extr."), QStringLiteral("Extradited") },
        QStringList { QStringLiteral("Depo."), QStringLiteral("Deported") },
        QStringList { QStringLiteral("Ante."), QStringLiteral("Pre-sold") },
        QStringList { QStringLiteral("Comp."), QStringLiteral("Taxable") },
    };
    return formas;
}

// A heading shorter than this is never taken for the beginning of a
// caption.
constexpr qsizetype kPrefijoMinimo = 8;

const QString kClaveHoja = QStringLiteral("Hoja");

QString clave(const char *nombre, int campo)
{
    return QString::fromLatin1(nombre) + QString::number(campo + 1);
}

} // namespace

QString nombreFormatoFecha(FormatoFecha formato)
{
    switch (formato) {
    case FormatoFecha::DiaMesAnio:
        return QStringLiteral("dd/mm/yyyy");
    case FormatoFecha::DiaMesAnioCorto:
        return QStringLiteral("d/m/yyyy");
    case FormatoFecha::AnioMesDia:
        return QStringLiteral("yyyy-mm-dd");
    case FormatoFecha::MesDiaAnio:
        return QStringLiteral("mm/dd/yyyy");
    }
    return {};
}

QString fechaSegunFormato(const QString &texto, FormatoFecha formato)
{
    // A time after the date ("17/11/2026 00:00") is no part of it.
    const qsizetype blanco = texto.indexOf(u' ');
    const QStringView fecha = blanco > 0 ? QStringView(texto).first(blanco) : QStringView(texto);
    // The import's own format needs no reading: the field rules check it.
    if (formato == FormatoFecha::DiaMesAnio && blanco < 0)
        return texto;

    // Three runs of digits between two separators, each as wide as the
    // format says.
    const QChar separador = formato == FormatoFecha::AnioMesDia ? u'-' : u'/';
    const QList<QStringView> partes = fecha.split(separador);
    if (partes.size() != 3)
        return texto;
    int valores[3];
    for (int i = 0; i < 3; ++i) {
        const QStringView p = partes[i];
        if (p.isEmpty() || p.size() > 4
            || !std::all_of(p.begin(), p.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
            return texto;
        valores[i] = p.toInt();
    }
    // For each format: where the day, the month and the year stand, and
    // how many digits each takes (0: one or two).
    struct Forma
    {
        int dia, mes, anio;
        int anchos[3];
    };
    static constexpr Forma kFormas[kFormatosFecha] = {
        { 0, 1, 2, { 2, 2, 4 } }, // dd/mm/yyyy
        { 0, 1, 2, { 0, 0, 4 } }, // d/m/yyyy
        { 2, 1, 0, { 4, 2, 2 } }, // yyyy-mm-dd
        { 1, 0, 2, { 2, 2, 4 } }, // mm/dd/yyyy
    };
    const Forma &forma = kFormas[int(formato)];
    for (int i = 0; i < 3; ++i) {
        const int ancho = forma.anchos[i];
        if (ancho ? partes[i].size() != ancho : partes[i].size() > 2)
            return texto;
    }
    const int dia = valores[forma.dia];
    const int mes = valores[forma.mes];
    const int anio = valores[forma.anio];
    if (!QDate(anio, mes, dia).isValid())
        return texto;
    return QStringLiteral("%1/%2/%3")
        .arg(dia, 2, 10, QLatin1Char('0'))
        .arg(mes, 2, 10, QLatin1Char('0'))
        .arg(anio, 4, 10, QLatin1Char('0'));
}

QString claveTitulo(QStringView titulo)
{
    const QString descompuesto = titulo.toString().normalized(QString::NormalizationForm_D);
    QString clave;
    clave.reserve(descompuesto.size());
    for (const QChar c : descompuesto) {
        if (c.isLetterOrNumber())
            clave += c.toCaseFolded();
    }
    return clave;
}

std::array<int, kCamposVuelo> emparejarTitulos(const QStringList &titulos)
{
    std::array<int, kCamposVuelo> columnas;
    columnas.fill(-1);
    QStringList claves;
    for (const QString &t : titulos)
        claves << claveTitulo(t);
    QList<bool> usada(claves.size(), false);

    const auto asignar = [&](auto &&coincide) {
        for (int campo = 0; campo < kCamposVuelo; ++campo) {
            if (columnas[campo] >= 0)
                continue;
            for (int c = 0; c < claves.size(); ++c) {
                if (!usada[c] && !claves[c].isEmpty() && coincide(campo, claves[c])) {
                    columnas[campo] = c;
                    usada[c] = true;
                    break;
                }
            }
        }
    };
    // Whole headings first, then headings that cut a caption short.
    asignar([](int campo, const QString &k) {
        if (k == claveTitulo(titulosCampos()[campo]))
            return true;
        const QStringList &otras = otrasFormas()[campo];
        return std::any_of(
            otras.begin(), otras.end(), [&k](const QString &o) { return k == claveTitulo(o); });
    });
    asignar([](int campo, const QString &k) {
        return k.size() >= kPrefijoMinimo && claveTitulo(titulosCampos()[campo]).startsWith(k);
    });

    if (std::all_of(columnas.begin(), columnas.end(), [](int c) { return c < 0; })) {
        for (int campo = 0; campo < kCamposVuelo && campo < titulos.size(); ++campo)
            columnas[campo] = campo;
    }
    return columnas;
}

CamposVuelo MapeoHoja::campos(const FilaHoja &fila) const
{
    CamposVuelo r;
    for (int i = 0; i < kCamposVuelo; ++i)
        r[i] = fila.celda(columnas[i]).trimmed();
    // A date the sheet keeps as a date is already dd/mm/yyyy.
    if (columnas[0] >= 0 && !fila.fechas.contains(columnas[0]))
        r[0] = fechaSegunFormato(r[0], formatoFecha);
    return r;
}

bool MapeoHoja::vacia(const FilaHoja &fila) const
{
    return std::all_of(columnas.begin(), columnas.end(),
        [&fila](int c) { return c < 0 || c >= fila.celdas.size() || celdaEnBlanco(fila.celdas.at(c)); });
}

MapeosGuardados::MapeosGuardados(QString ruta)
    : m_ruta(std::move(ruta))
{
}

QString MapeosGuardados::rutaPredeterminada()
{
    return QFileInfo(ArchivoIni::rutaPredeterminada()).path() + QStringLiteral("/KV517HOJA.INI");
}

bool MapeosGuardados::guardar(const QString &ruc, const MapeoHoja &mapeo, const QStringList &titulos) const
{
    ArchivoIni ini(m_ruta);
    bool ok = ini.escribir(ruc, kClaveHoja, mapeo.hoja)
        && ini.escribir(ruc, QStringLiteral("FilaTitulos"), QString::number(mapeo.filaTitulos))
        && ini.escribir(ruc, QStringLiteral("FormatoFecha"), nombreFormatoFecha(mapeo.formatoFecha));
    for (int i = 0; i < kCamposVuelo && ok; ++i) {
        const int c = mapeo.columnas[i];
        ok = ini.escribir(ruc, clave("Columna", i), c >= 0 ? letraColumna(c) : QString())
            && ini.escribir(
                ruc, clave("Titulo", i), c >= 0 && c < titulos.size() ? titulos.at(c) : QString());
    }
    return ok;
}

bool MapeosGuardados::leerHoja(const QString &ruc, QString &hoja, qint64 &filaTitulos) const
{
    const ArchivoIni ini(m_ruta);
    bool ok = false;
    const qint64 fila = ini.leer(ruc, QStringLiteral("FilaTitulos")).toLongLong(&ok);
    if (!ok || fila < 0 || fila > kFilasHoja)
        return false;
    filaTitulos = fila;
    hoja = ini.leer(ruc, kClaveHoja);
    return true;
}

bool MapeosGuardados::leer(
    const QString &ruc, const QStringList &titulos, int columnas, MapeoHoja &mapeo) const
{
    if (!leerHoja(ruc, mapeo.hoja, mapeo.filaTitulos))
        return false;
    const ArchivoIni ini(m_ruta);
    const QString formato = ini.leer(ruc, QStringLiteral("FormatoFecha"));
    for (int f = 0; f < kFormatosFecha; ++f) {
        if (nombreFormatoFecha(FormatoFecha(f)) == formato)
            mapeo.formatoFecha = FormatoFecha(f);
    }
    QStringList claves;
    for (const QString &t : titulos)
        claves << claveTitulo(t);
    for (int i = 0; i < kCamposVuelo; ++i) {
        int columna = columnaDeLetras(ini.leer(ruc, clave("Columna", i)).trimmed().toUpper());
        if (columna >= columnas)
            columna = -1;
        const QString titulo = claveTitulo(ini.leer(ruc, clave("Titulo", i)));
        if (!titulo.isEmpty() && (columna < 0 || claves.value(columna) != titulo)) {
            const qsizetype otra = claves.indexOf(titulo);
            if (otra >= 0)
                columna = int(otra);
        }
        mapeo.columnas[i] = columna;
    }
    return true;
}

} // namespace kv
