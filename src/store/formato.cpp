#include "formato.h"

#include "numeros.h"

#include <QList>

namespace kv {

namespace {

bool esLugar(QChar c)
{
    return c == u'0' || c == u'#';
}

int decimalesDe(QStringView seccion)
{
    const qsizetype punto = seccion.indexOf(u'.');
    return punto < 0 ? 0 : int(seccion.sliced(punto + 1).count(u'0') + seccion.sliced(punto + 1).count(u'#'));
}

// The whole part: `cifras` are the value's whole digits without leading
// zeros ("" for zero). Leading "#" places print nothing, the first place also
// takes the digits that do not fit, and a comma between places groups the
// whole number by thousands.
QString parteEntera(QStringView patron, const QString &cifras)
{
    qsizetype lugares = 0;
    qsizetype primerLugar = -1;
    qsizetype ultimoLugar = -1;
    qsizetype primerCero = -1; // place number of the first "0"
    for (qsizetype k = 0; k < patron.size(); ++k) {
        if (!esLugar(patron[k]))
            continue;
        if (primerLugar < 0)
            primerLugar = k;
        ultimoLugar = k;
        if (patron[k] == u'0' && primerCero < 0)
            primerCero = lugares;
        ++lugares;
    }
    const auto esGrupo = [&](qsizetype k) { return patron[k] == u',' && k > primerLugar && k < ultimoLugar; };
    bool grupos = false;
    for (qsizetype k = 0; k < patron.size(); ++k)
        grupos = grupos || esGrupo(k);

    const qsizetype total = std::max(lugares, cifras.size());
    const QString todas = cifras.rightJustified(total, u'0');
    qsizetype desde = total - cifras.size();
    if (primerCero >= 0)
        desde = std::min(desde, total - lugares + primerCero);

    QString salida;
    qsizetype siguiente = 0;
    const auto escribirHasta = [&](qsizetype fin) {
        for (; siguiente < fin; ++siguiente) {
            if (siguiente < desde)
                continue;
            salida += todas[siguiente];
            const qsizetype aLaDerecha = total - 1 - siguiente;
            if (grupos && aLaDerecha > 0 && aLaDerecha % 3 == 0)
                salida += u',';
        }
    };
    qsizetype lugar = 0;
    for (qsizetype k = 0; k < patron.size(); ++k) {
        if (esLugar(patron[k]))
            escribirHasta(total - lugares + ++lugar);
        else if (!esGrupo(k))
            salida += patron[k];
    }
    escribirHasta(total); // a pattern without whole places still shows the whole digits
    return salida;
}

// The decimals: `cifras` hold the rounded value's decimals without trailing
// zeros. Trailing "#" places print nothing for zeros; "0" places always print.
QString parteDecimal(QStringView patron, const QString &cifras)
{
    qsizetype ultimo = -1;
    qsizetype lugar = 0;
    for (const QChar c : patron) {
        if (!esLugar(c))
            continue;
        if (c == u'0' || lugar < cifras.size())
            ultimo = lugar;
        ++lugar;
    }
    QString salida;
    lugar = 0;
    for (const QChar c : patron) {
        if (!esLugar(c)) {
            salida += c;
            continue;
        }
        if (lugar <= ultimo)
            salida += lugar < cifras.size() ? cifras[lugar] : QChar(u'0');
        ++lugar;
    }
    return salida;
}

// A non-negative value already rounded to the section's decimals.
QString aplicarSeccion(const Decimal &valor, QStringView seccion)
{
    const QString texto = valor.texto();
    const qsizetype puntoValor = texto.indexOf(u'.');
    QString enteros = puntoValor < 0 ? texto : texto.left(puntoValor);
    if (enteros == u"0")
        enteros.clear();
    const QString decimales = puntoValor < 0 ? QString() : texto.sliced(puntoValor + 1);

    const qsizetype punto = seccion.indexOf(u'.');
    if (punto < 0)
        return parteEntera(seccion, enteros);
    return parteEntera(seccion.left(punto), enteros) + u'.' + parteDecimal(seccion.sliced(punto + 1), decimales);
}

QString dosCifras(int n)
{
    return QString::number(n).rightJustified(2, u'0');
}

QString formatoFechaHora(const QDate &fecha, const QTime &hora, QStringView patron)
{
    QString salida;
    bool trasHora = false; // "m" right after an hour token is minutes
    for (qsizetype i = 0; i < patron.size();) {
        const QChar letra = patron[i].toLower();
        qsizetype n = 1;
        while (i + n < patron.size() && patron[i + n].toLower() == letra)
            ++n;
        const bool largo = n >= 2;
        switch (letra.unicode()) {
        case u'd':
            salida += largo ? dosCifras(fecha.day()) : QString::number(fecha.day());
            break;
        case u'm': {
            const int v = trasHora ? hora.minute() : fecha.month();
            salida += largo ? dosCifras(v) : QString::number(v);
            break;
        }
        case u'y':
            if (n == 1)
                salida += QString::number(fecha.dayOfYear());
            else if (n == 2)
                salida += dosCifras(fecha.year() % 100);
            else
                salida += QString::number(fecha.year()).rightJustified(4, u'0');
            break;
        case u'h':
            salida += largo ? dosCifras(hora.hour()) : QString::number(hora.hour());
            break;
        case u'n':
            salida += largo ? dosCifras(hora.minute()) : QString::number(hora.minute());
            break;
        case u's':
            salida += largo ? dosCifras(hora.second()) : QString::number(hora.second());
            break;
        default:
            salida += patron.sliced(i, n);
            i += n;
            continue; // separators keep the hour context
        }
        trasHora = letra == u'h';
        i += n;
    }
    return salida;
}

} // namespace

QString formato(const Decimal &valor, QStringView patron)
{
    if (patron.isEmpty())
        return valor.texto();
    const QList<QStringView> secciones = patron.split(u';');
    const auto seccion = [&](int n) { return n < secciones.size() ? secciones[n] : QStringView(); };

    // A negative section writes the sign with its own literals; without one
    // the whole text gets a leading "-".
    QStringView elegida = seccion(0);
    bool menos = false;
    if (valor.signo() < 0) {
        if (!seccion(1).isEmpty())
            elegida = seccion(1);
        else
            menos = true;
    }
    const Decimal redondeado = valor.abs().redondeado(decimalesDe(elegida));
    if (redondeado.esCero()) // written as zero: no sign, the zero section if any
        return aplicarSeccion(Decimal(), seccion(2).isEmpty() ? seccion(0) : seccion(2));
    const QString texto = aplicarSeccion(redondeado, elegida);
    return menos ? u'-' + texto : texto;
}

QString formato(QStringView texto, QStringView patron)
{
    const auto numero = convertirNumero(texto);
    return numero ? formato(*numero, patron) : texto.toString();
}

QString formato(const QDate &fecha, QStringView patron)
{
    return fecha.isValid() ? formatoFechaHora(fecha, QTime(0, 0), patron) : QString();
}

QString formato(const QTime &hora, QStringView patron)
{
    // A time alone is a moment of the calendar's day zero, 30/12/1899.
    return hora.isValid() ? formatoFechaHora(QDate(1899, 12, 30), hora, patron) : QString();
}

QString formato(const QDateTime &momento, QStringView patron)
{
    return momento.isValid() ? formatoFechaHora(momento.date(), momento.time(), patron) : QString();
}

QString fechaCorta(const QDate &fecha)
{
    return formato(fecha, u"dd/mm/yyyy");
}

QString horaLarga(const QTime &hora)
{
    return formato(hora, u"hh:mm:ss");
}

QDate leerFecha(QStringView texto)
{
    // Three parts between "/", read digit by digit: an import reads one
    // date a line.
    const qsizetype barra1 = texto.indexOf(u'/');
    const qsizetype barra2 = barra1 < 0 ? -1 : texto.indexOf(u'/', barra1 + 1);
    if (barra2 < 0 || texto.indexOf(u'/', barra2 + 1) >= 0)
        return {};
    const auto numero = [](QStringView parte, qsizetype minimo, qsizetype maximo) {
        if (parte.size() < minimo || parte.size() > maximo)
            return -1;
        int n = 0;
        for (const QChar c : parte) {
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c.unicode() - u'0');
        }
        return n;
    };
    const int dia = numero(texto.first(barra1), 1, 2);
    const int mes = numero(texto.sliced(barra1 + 1, barra2 - barra1 - 1), 1, 2);
    const int anio = numero(texto.sliced(barra2 + 1), 4, 4);
    if (dia < 0 || mes < 0 || anio < 0)
        return {};
    const QDate fecha(anio, mes, dia);
    if (!fecha.isValid() || fecha < QDate(1850, 1, 1) || fecha > QDate(2500, 1, 1))
        return {};
    return fecha;
}

QDate fechaGuardada(const QVariant &valor)
{
    switch (valor.typeId()) {
    case QMetaType::QDate:
        return valor.toDate();
    case QMetaType::QDateTime:
        return valor.toDateTime().date();
    default:
        return QDate::fromString(valor.toString().left(10), Qt::ISODate);
    }
}

QString fechaMostrada(const QVariant &valor)
{
    const QDate fecha = fechaGuardada(valor);
    return fecha.isValid() ? formato(fecha, u"dd/mm/yyyy") : valor.toString();
}

} // namespace kv
