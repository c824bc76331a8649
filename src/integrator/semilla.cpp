#include "semilla.h"

#include "store/transaccion.h"

#include <QSqlError>
#include <QSqlQuery>

namespace kv::semilla {

namespace {

// Writes `texto` at a 1-based position of a fixed-position value, cut to
// `ancho` characters.
void poner(QString &funcion, int posicion, int ancho, const QString &texto)
{
    funcion.replace(posicion - 1, ancho, texto.left(ancho).leftJustified(ancho, u' '));
}

QString dosDigitos(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool insertarSiFalta(QSqlQuery &q, const QString &sql, const QVariantList &valores, ErrorBD &error)
{
    if (!q.prepare(sql)) {
        error = traducirError(q.lastError());
        return false;
    }
    for (const QVariant &v : valores)
        q.addBindValue(v);
    if (!q.exec()) {
        error = traducirError(q.lastError());
        return false;
    }
    return true;
}

} // namespace

QString funcionBanco(const QString &nombre, const QString &nombreCorto)
{
    QString funcion(49, u' ');
    poner(funcion, 1, 36, nombre);
    poner(funcion, 38, 12, nombreCorto);
    return funcion;
}

QString funcionTipoDocumento(const QString &descripcion, const QString &nombreCorto, int largo, int orden,
    QChar tipoDato, bool largoFijo)
{
    QString funcion(130, u' ');
    poner(funcion, 1, 30, descripcion);
    poner(funcion, 32, 11, nombreCorto);
    poner(funcion, 46, 2, dosDigitos(largo));
    poner(funcion, 56, 2, dosDigitos(orden));
    poner(funcion, 128, 1, QString(tipoDato));
    poner(funcion, 130, 1, largoFijo ? QStringLiteral("1") : QStringLiteral("0"));
    return funcion;
}

QString funcionRuc()
{
    return QStringLiteral("REG. UNICO DE CONTRIBUYENTES   RUC           11 000110 01 000001000001100111011111"
                          "                                           0 5 0");
}

QList<FilaParametro> bancos()
{
    struct Banco
    {
        const char *codigo;
        const char *nombre;
        const char *corto;
    };
    // "00" is listed with the banks but names none: the code of a payment
    // made without one.
    static const Banco lista[] = {
        { "00", "NINGUNO", "NINGUNO" },
        { "02", "BANCO DE CREDITO DEL PERU", "CREDITO" },
        { "03", "BANCO INTERNACIONAL DEL PERU", "INTERBANK" },
        { "07", "CITIBANK DEL PERU", "CITIBANK" },
        { "09", "SCOTIABANK PERU", "SCOTIABANK" },
        { "11", "BANCO CONTINENTAL", "CONTINENTAL" },
        { "18", "BANCO DE LA NACION", "NACION" },
        { "23", "BANCO DE COMERCIO", "COMERCIO" },
        { "35", "BANCO FINANCIERO DEL PERU", "FINANCIERO" },
        { "38", "BANCO INTERAMERICANO DE FINANZAS", "BANBIF" },
        { "41", "BANCO WIESE SUDAMERIS", "WIESE" },
        { "43", "BANCO DEL TRABAJO", "TRABAJO" },
        { "49", "MIBANCO, BANCO DE LA MICROEMPRESA", "MIBANCO" },
        { "56", "BANCO SANTANDER PERU", "SANTANDER" },
    };
    QList<FilaParametro> filas;
    for (const Banco &b : lista) {
        filas.append({ QStringLiteral("004"), QString::fromUtf8(b.codigo),
            funcionBanco(QString::fromUtf8(b.nombre), QString::fromUtf8(b.corto)), QString() });
    }
    return filas;
}

QList<FilaParametro> tiposDocumento()
{
    const QString n = QStringLiteral("044");
    return {
        { n, QStringLiteral("0"),
            funcionTipoDocumento(
                QStringLiteral("OTROS TIPOS DE DOCUMENTOS"), QStringLiteral("OTROS"), 15, 6, u'8', false),
            {} },
        { n, QStringLiteral("1"),
            funcionTipoDocumento(
                QStringLiteral("DOC. NACIONAL DE IDENTIDAD"), QStringLiteral("DNI"), 8, 2, u'5', true),
            {} },
        { n, QStringLiteral("4"),
            funcionTipoDocumento(
                QStringLiteral("CARNET DE EXTRANJERIA"), QStringLiteral("CARNET EXT."), 12, 3, u'8', false),
            {} },
        { n, QStringLiteral("6"), funcionRuc(), {} },
        { n, QStringLiteral("7"),
            funcionTipoDocumento(
                QStringLiteral("PASAPORTE"), QStringLiteral("PASAPORTE"), 12, 4, u'8', false),
            {} },
        { n, QStringLiteral("A"),
            funcionTipoDocumento(QStringLiteral("CED. DIPLOMATICA DE IDENTIDAD"),
                QStringLiteral("CED.DIPLOM."), 15, 5, u'8', false),
            {} },
    };
}

QList<TextoError> textosError()
{
    // Shown by the module after a save: 0151 when the declaration passed
    // every check, 0152 when it was stored with findings.
    return {
        { QStringLiteral("0151"),
            QStringLiteral("La declaración fue grabada satisfactoriamente y no presenta inconsistencias.") },
        { QStringLiteral("0152"),
            QStringLiteral(
                "La declaración fue grabada con inconsistencias. Valídela y corríjala antes de enviarla.") },
    };
}

ErrorBD escribir(QSqlDatabase db, const QString &usuario, const QString &nombreUsuario)
{
    Transaccion transaccion(db, Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return { 1, QStringLiteral("no se pudo iniciar la transacción") };

    ErrorBD error;
    QSqlQuery q(db);
    const QString sqlParametro
        = QStringLiteral("INSERT INTO PARAM (Numero, Argumento, Funcion, Correl_param) SELECT ?, ?, ?, ? "
                         "WHERE NOT EXISTS (SELECT 1 FROM PARAM WHERE Numero = ? AND Argumento = ?)");
    for (const FilaParametro &f : bancos() + tiposDocumento()) {
        if (!insertarSiFalta(q, sqlParametro,
                { f.numero, f.argumento, f.funcion, f.correl, f.numero, f.argumento }, error))
            return error;
    }
    if (!insertarSiFalta(q,
            QStringLiteral("INSERT INTO CLAVES (Usuario, Nombre, Tipo) SELECT ?, ?, '0' "
                           "WHERE NOT EXISTS (SELECT 1 FROM CLAVES WHERE Usuario = ?)"),
            { usuario, nombreUsuario, usuario }, error))
        return error;
    for (const TextoError &t : textosError()) {
        if (!insertarSiFalta(q,
                QStringLiteral("INSERT INTO ERROR (CodError, DescError) SELECT ?, ? "
                               "WHERE NOT EXISTS (SELECT 1 FROM ERROR WHERE CodError = ?)"),
                { t.codigo, t.texto, t.codigo }, error))
            return error;
    }
    if (!transaccion.confirmar())
        return { 1, QStringLiteral("no se pudo confirmar la transacción") };
    return {};
}

} // namespace kv::semilla
