#include "utilidad.h"

#include "formato.h"
#include "texto.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QRegularExpression>

namespace kv {

namespace {

bool esDigito(QChar c) { return c >= u'0' && c <= u'9'; }

// "mm/yyyy" → the first day of that month; invalid otherwise.
QDate mesDePeriodo(const QString &periodo)
{
    static const QRegularExpression forma(QStringLiteral("^(\\d{2})/(\\d{4})$"));
    const auto m = forma.match(periodo);
    if (!m.hasMatch())
        return {};
    return QDate(m.captured(2).toInt(), m.captured(1).toInt(), 1);
}

} // namespace

bool Utilidad::existeArchivo(const QString &ruta) const
{
    const QFileInfo info(ruta);
    return !ruta.isEmpty() && info.exists() && info.isFile();
}

bool Utilidad::validaRuc(const QString &ruc) const
{
    if (ruc.size() != 11 || !std::all_of(ruc.begin(), ruc.end(), esDigito))
        return false;
    static const QStringList prefijos = {QStringLiteral("10"), QStringLiteral("15"), QStringLiteral("16"),
                                         QStringLiteral("17"), QStringLiteral("20")};
    if (!prefijos.contains(ruc.left(2)))
        return false;
    static constexpr int pesos[10] = {5, 4, 3, 2, 7, 6, 5, 4, 3, 2};
    int suma = 0;
    for (int i = 0; i < 10; ++i)
        suma += (ruc.at(i).unicode() - u'0') * pesos[i];
    int digito = 11 - suma % 11;
    if (digito == 10)
        digito = 0;
    else if (digito == 11)
        digito = 1;
    return ruc.at(10).unicode() - u'0' == digito;
}

QString Utilidad::digesto(const QString &texto) const
{
    const QByteArray hash = QCryptographicHash::hash(aCp1252(texto), QCryptographicHash::Sha256);
    quint64 n = 0;
    for (int i = 0; i < 8; ++i)
        n = (n << 8) | quint8(hash.at(i));
    return QStringLiteral("%1").arg(n, 20, 10, QLatin1Char('0'));
}

QString Utilidad::alinearIzquierda(const QString &texto, int ancho) const
{
    return texto.leftJustified(ancho, u' ', false);
}

QString Utilidad::alinearDerecha(const QString &texto, int ancho) const
{
    return texto.rightJustified(ancho, u' ', false);
}

bool Utilidad::validaRangoFecha(const QString &fecha, const QString &desde, const QString &hasta) const
{
    const QDate f = leerFecha(fecha);
    const QDate d = leerFecha(desde);
    const QDate h = leerFecha(hasta);
    return f.isValid() && d.isValid() && h.isValid() && f >= d && f <= h;
}

int Utilidad::filtroNumerico(int tecla, int opciones) const
{
    if ((tecla >= '0' && tecla <= '9') || tecla == kTeclaRetroceso || tecla == kTeclaEnter)
        return tecla;
    if (tecla == '.' && (opciones & PermitePunto))
        return tecla;
    return 0;
}

int Utilidad::filtroCodigo(int tecla, int /*opciones*/) const
{
    if (tecla == kTeclaRetroceso || tecla == kTeclaEnter)
        return tecla;
    if (tecla > 0 && tecla <= 0xFFFF && QChar(char16_t(tecla)).isLetterOrNumber())
        return tecla;
    return 0;
}

Utilidad::ClasesTexto Utilidad::clasesCaracteres(const QString &texto) const
{
    ClasesTexto r;
    if (texto.isEmpty())
        return r;
    r.todoDigitos = std::all_of(texto.begin(), texto.end(), esDigito);
    r.soloAlfanumerico = std::all_of(texto.begin(), texto.end(), [](QChar c) { return c.isLetterOrNumber(); });
    return r;
}

int Utilidad::teclaMayuscula(int tecla) const
{
    if (tecla <= 0 || tecla > 0xFFFF)
        return tecla;
    const QChar c{char16_t(tecla)};
    return c.isLetter() ? c.toUpper().unicode() : tecla;
}

bool Utilidad::validaPeriodo(const QString &periodo, const QString &minimo, const QDate &hoy) const
{
    const QDate mes = mesDePeriodo(periodo);
    const QDate desde = mesDePeriodo(minimo);
    if (!mes.isValid() || !desde.isValid() || !hoy.isValid())
        return false;
    const QDate esteMes(hoy.year(), hoy.month(), 1);
    return mes >= desde && mes <= esteMes;
}

} // namespace kv
