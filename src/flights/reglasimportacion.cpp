#include "reglasimportacion.h"

#include "store/formato.h"
#include "store/texto.h"
#include "store/utilidad.h"

namespace kv {

namespace {

const QDate kPrimerDia(2003, 2, 17); // the tax's first day

bool soloCeros(const QString &texto)
{
    return std::all_of(texto.begin(), texto.end(), [](QChar c) { return c == u'0'; });
}

// The value of a count of digits as plain digits: "007" is "7", "000" is "0".
QString sinCerosIzquierda(const QString &digitos)
{
    qsizetype i = 0;
    while (i + 1 < digitos.size() && digitos.at(i) == u'0')
        ++i;
    return i == 0 ? digitos : digitos.sliced(i);
}

} // namespace

const std::array<QString, kCamposVuelo> &titulosCampos()
{
    static const std::array<QString, kCamposVuelo> titulos = {
        QStringLiteral("Fecha de Arribo"),
        QStringLiteral("Código de Vuelo"),
        QStringLiteral("Tripulantes"),
        QStringLiteral("Personal"),
        QStringLiteral("Tránsito"),
        QStringLiteral("Arribo Forzoso"),
        QStringLiteral("Agentes Diplomáticos y Organismos Internacionales"),
        QStringLiteral("Extraditados"),
        QStringLiteral("Deportados"),
        QStringLiteral("Adquirieron su Pasaje antes de la Vigencia del Impuesto"),
        QStringLiteral("Sujetos Comprend."),
    };
    return titulos;
}

qsizetype CuentaSeparadores(QStringView linea)
{
    return linea.count(u'|');
}

bool separadoresCompletos(QStringView linea)
{
    return CuentaSeparadores(linea) == kCamposVuelo;
}

bool terminaEnSeparador(QStringView linea)
{
    const QString recortada = recortarBlancos(linea);
    return recortada.isEmpty() || recortada.back() == u'|';
}

CamposVuelo separarCampos(QStringView linea)
{
    CamposVuelo campos;
    qsizetype inicio = 0;
    for (int i = 0; i < kCamposVuelo; ++i) {
        const qsizetype separador = linea.indexOf(u'|', inicio);
        if (separador < 0)
            break;
        campos[i] = recortarBlancos(linea.sliced(inicio, separador - inicio));
        inicio = separador + 1;
    }
    return campos;
}

ReglasImportacion::ReglasImportacion(
    const Utilidad &utilidad, const QDate &hoy, const QString &periodoMostrado)
    : m_utilidad(utilidad)
    , m_hoy(hoy)
    , m_periodo(periodoMostrado)
{
}

QString ReglasImportacion::errorFecha(const QString &campo, QDate &fecha) const
{
    // The date-range checks of the flight window, with the date read once
    // and the bounds read when the rules are made.
    if (campo.size() != 10)
        return QStringLiteral("Fecha de Arribo está en blanco o es incorrecta");
    fecha = leerFecha(campo); // a real date between 01/01/1850 and 01/01/2500, or none
    if (!fecha.isValid())
        return QStringLiteral("Fecha de Arribo no es válida");
    if (fecha < kPrimerDia)
        return QStringLiteral("Fecha de Arribo debe ser mayor o igual al 17/02/2003 ");
    QString error;
    if (fecha > m_hoy)
        error = QStringLiteral("Fecha de Arribo no debe ser mayor a la actual ");
    // Characters 4 to 10 of dd/mm/yyyy are the month and year.
    if (QStringView(campo).sliced(3) != m_periodo)
        error = QStringLiteral("El año y mes de la fecha de Arribo deben ser iguales al período declarado ");
    return error;
}

QString ReglasImportacion::errorCodigo(const QString &campo) const
{
    if (campo.isEmpty())
        return QStringLiteral("Código de vuelo está en blanco.");
    QString error;
    const Utilidad::ClasesTexto clases = m_utilidad.clasesCaracteres(campo);
    if (!clases.soloAlfanumerico)
        error = QStringLiteral("El código de vuelo debe ser sólo letras y números.");
    if (campo.size() > 15)
        error = QStringLiteral("El código de vuelo debe tener máximo 15 caracteres.");
    if (clases.todoDigitos && soloCeros(campo))
        error = QStringLiteral("El código de vuelo debe ser diferente de 0.");
    return error;
}

bool ReglasImportacion::esCantidad(const QString &campo) const
{
    // Each character as the count box would take it when typed. The filter
    // also lets the editing keys through (Backspace, Enter), which are no
    // part of a number written in a file.
    return std::all_of(campo.begin(), campo.end(), [this](QChar c) {
        const int tecla = codigoCp1252(c);
        return m_utilidad.filtroNumerico(tecla) == tecla && tecla >= '0' && tecla <= '9';
    });
}

QString ReglasImportacion::errorCantidad(const QString &campo, bool tripulantes) const
{
    if (campo.isEmpty())
        return QStringLiteral("Detalle de número personas a bordo está en blanco.");
    if (campo.size() > 5)
        return QStringLiteral("Detalle de número personas a bordo tiene campos con más de 5 posiciones.");
    if (!esCantidad(campo))
        return QStringLiteral("Detalle de número personas a bordo debe ser numérico.");
    if (tripulantes && soloCeros(campo))
        return QStringLiteral("El número de tripulantes debe ser mayor a 0.");
    return {};
}

QString ReglasImportacion::validar(const CamposVuelo &campos) const
{
    QDate fecha;
    return validar(campos, fecha);
}

QString ReglasImportacion::validar(const CamposVuelo &campos, QDate &fecha) const
{
    QString error;
    const auto anotar = [&error](QString e) {
        if (!e.isEmpty())
            error = std::move(e);
    };
    anotar(errorFecha(campos[0], fecha));
    anotar(errorCodigo(campos[1]));
    for (int i = 2; i < kCamposVuelo; ++i)
        anotar(errorCantidad(campos[i], i == 2));
    return error;
}

LineaVuelo ReglasImportacion::analizar(QStringView linea) const
{
    return analizar(separarCampos(linea));
}

LineaVuelo ReglasImportacion::analizar(CamposVuelo campos) const
{
    LineaVuelo r;
    r.campos = std::move(campos);
    QDate fecha;
    r.error = validar(r.campos, fecha);
    if (!r.aceptada())
        return r;
    r.fecha = fecha;
    // Letter by letter, as the flight window's code box types it: a letter
    // whose capital is two ("ß") keeps the code's length.
    r.codigo = r.campos[1];
    for (QChar &c : r.codigo)
        c = QChar(char16_t(m_utilidad.teclaMayuscula(c.unicode())));
    for (int i = 0; i < kCantidadesVuelo; ++i)
        r.cantidades[i] = sinCerosIzquierda(r.campos[i + 2]);
    return r;
}

} // namespace kv
