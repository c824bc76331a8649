#include "importacionvuelos.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/funcionessqlite.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/tablatasas.h"
#include "store/texto.h"
#include "store/transaccion.h"
#include "store/utilidad.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace kv {

namespace {

ErrorBD errorArchivo(const QFileDevice &archivo, const QString &accion)
{
    return { kErrorArchivo,
        accion + u' ' + QDir::toNativeSeparators(archivo.fileName()) + QStringLiteral(": ")
            + archivo.errorString() };
}

QString unir(std::initializer_list<QStringView> partes)
{
    QString r;
    for (const QStringView p : partes)
        r += p;
    return r;
}

// The statement that adds the flights of `filas` lines, or updates the
// flight of the same date and code already in the working copy: a second
// import of a file updates its flights and keeps their keys.
QString sentenciaVuelos(qsizetype filas)
{
    static const QString kFila = QStringLiteral("(6,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    QString valores;
    valores.reserve(filas * (kFila.size() + 1));
    for (qsizetype i = 0; i < filas; ++i) {
        if (i > 0)
            valores += u',';
        valores += kFila;
    }
    return QStringLiteral(
               "INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, "
               "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, num_deport, "
               "num_adqanterior, num_afectos, mto_dolar) VALUES ")
        + valores
        + QStringLiteral(
               " ON CONFLICT (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) DO UPDATE SET "
               "num_tripulantes=excluded.num_tripulantes, num_personal=excluded.num_personal, "
               "num_transito=excluded.num_transito, num_arrfor=excluded.num_arrfor, "
               "num_diplo=excluded.num_diplo, num_extrad=excluded.num_extrad, "
               "num_deport=excluded.num_deport, num_adqanterior=excluded.num_adqanterior, "
               "num_afectos=excluded.num_afectos, mto_dolar=excluded.mto_dolar");
}

QString lineaDeError(const Utilidad &u, const CamposVuelo &campos, QString error)
{
    error.replace(u'\r', u' ').replace(u'\n', u' ');
    return u.alinearIzquierda(campos[0], 12) + u.alinearIzquierda(campos[1], 17) + error;
}

// Another program holds the database: the one reason the engine gives for
// not starting or not ending a write transaction.
ErrorBD baseBloqueada()
{
    return { kErrorBaseBloqueada, QStringLiteral("database is locked") };
}

// A field as the rules read it: without the blanks around it.
QString sinBlancosAlrededor(const QString &campo)
{
    return campo.startsWith(u' ') || campo.endsWith(u' ') ? recortarBlancos(campo) : campo;
}

constexpr int kValoresPorVuelo = 15;

} // namespace

// What an import holds while it runs. The block statement is prepared
// once; a block cut short (the file's last, or one that met a flight twice)
// gets a statement of its own size.
struct ImportacionFilas::Estado
{
    static constexpr int kVuelosPorBloque = 250;

    Estado(Contexto &ctx, const QString &periodoMostrado)
        : db(ctx.db())
        , datos(ctx)
        , tasas(datos)
        , reglas(*ctx.utilidad, ctx.reloj ? ctx.reloj->hoy() : QDate::currentDate(), periodoMostrado)
        , transaccion(db, Transaccion::Modo::Inmediata)
        , bloque(db)
        , uno(db)
        , marca(db, QStringLiteral("SAVEPOINT vuelos"))
        , liberar(db, QStringLiteral("RELEASE SAVEPOINT vuelos"))
        , volver(db, QStringLiteral("ROLLBACK TO SAVEPOINT vuelos"))
        , clave { ctx.sRuc, ctx.sPeriodo, ctx.sFormulario }
    {
        // SQLite undoes a refused statement alone and keeps the transaction:
        // each flight is written as it comes, bound straight into SQLite. A
        // server ends the transaction at the first refusal, so there the
        // flights go a block at a time under a savepoint of the block.
        if (motorDe(db) == Motor::SQLite)
            sqlite = std::make_unique<SentenciaSqlite>(db, sentenciaVuelos(1));
        valores.reserve(kVuelosPorBloque * kValoresPorVuelo);
        claves.reserve(kVuelosPorBloque);
    }

    QSqlDatabase db;
    const AccesoDatos datos;
    const TablaTasas tasas;
    const ReglasImportacion reglas;
    Transaccion transaccion;
    QSqlQuery bloque;
    bool bloquePreparado = false;
    QSqlQuery uno;
    bool unoPreparado = false;
    SentenciaRepetida marca;
    SentenciaRepetida liberar;
    SentenciaRepetida volver;
    std::unique_ptr<SentenciaSqlite> sqlite;
    QVariantList clave; // RUC, period, form
    QHash<QString, Decimal> tasaPorFecha;
    QVariantList valores; // the block's flights, kValoresPorVuelo each
    QSet<QString> claves; // date and code of the block's flights
};

ImportacionFilas::ImportacionFilas(Contexto &contexto, const QString &periodoMostrado, QFileDevice &errores,
    std::function<void(const AvanceImportacion &)> avance, qint64 total)
    : m_ctx(contexto)
    , m_errores(errores)
    , m_aviso(std::move(avance))
    , m_estado(std::make_unique<Estado>(contexto, periodoMostrado))
{
    m_avance.total = total;
}

ImportacionFilas::~ImportacionFilas() = default;

bool ImportacionFilas::iniciar()
{
    return m_estado->transaccion.iniciada() || falla(baseBloqueada());
}

bool ImportacionFilas::falla(ErrorBD error)
{
    if (!m_error.hay())
        m_error = std::move(error);
    return false;
}

Decimal ImportacionFilas::tasa(QStringView fecha)
{
    const QString clave = fecha.toString();
    auto it = m_estado->tasaPorFecha.constFind(clave);
    if (it == m_estado->tasaPorFecha.cend())
        it = m_estado->tasaPorFecha.insert(clave, val(m_estado->tasas.vigente(clave)));
    return *it;
}

bool ImportacionFilas::fila(const CamposVuelo &leidos, qint64 numero)
{
    if (m_error.hay())
        return false;
    CamposVuelo campos;
    for (int i = 0; i < kCamposVuelo; ++i)
        campos[i] = sinBlancosAlrededor(leidos[i]);
    LineaVuelo vuelo = m_estado->reglas.analizar(campos);
    Pendiente p { std::move(vuelo.campos), std::move(vuelo.error), numero, false };
    if (p.motivo.isEmpty() && m_estado->sqlite) {
        SentenciaSqlite &q = *m_estado->sqlite;
        const QStringView f(p.campos[0]);
        q.texto(0, m_ctx.sRuc);
        q.texto(1, m_ctx.sPeriodo);
        q.texto(2, m_ctx.sFormulario);
        q.texto(3, unir({ f.sliced(6, 4), u"-", f.sliced(3, 2), u"-", f.sliced(0, 2) }));
        q.texto(4, vuelo.codigo);
        for (int i = 0; i < kCantidadesVuelo; ++i)
            q.texto(5 + i, vuelo.cantidades[i]);
        const Decimal afectos = Decimal::entero(vuelo.cantidades[kCantidadesVuelo - 1].toLongLong());
        q.texto(14, (afectos * tasa(unir({ f.sliced(6, 4), f.sliced(3, 2), f.sliced(0, 2) }))).texto());
        if (!q.ejecutar()) {
            // Without its transaction the import cannot go on; otherwise the
            // flight alone is refused, with the database's reason.
            if (q.sinTransaccion())
                return falla(q.error());
            p.motivo = QStringLiteral("Error ") + QString::number(q.error().numero) + QStringLiteral(" - ")
                + q.error().texto;
        }
        m_pendientes << std::move(p);
        return cerrarFilas();
    }
    if (p.motivo.isEmpty()) {
        // An accepted date field is dd/mm/yyyy.
        const QStringView f(p.campos[0]);
        const QString iso = unir({ f.sliced(6, 4), u"-", f.sliced(3, 2), u"-", f.sliced(0, 2) });
        // A flight met twice in a block goes into the next one, after the
        // first has been written: the later line wins, as line by line.
        const QString clave = iso + u'|' + vuelo.codigo;
        if (m_estado->claves.contains(clave) && !escribirBloque())
            return false;
        m_estado->claves.insert(clave);
        QVariantList &v = m_estado->valores;
        v << m_estado->clave << iso << vuelo.codigo;
        for (const QString &c : vuelo.cantidades)
            v << c;
        const Decimal afectos = Decimal::entero(vuelo.cantidades[kCantidadesVuelo - 1].toLongLong());
        v << (afectos * tasa(unir({ f.sliced(6, 4), f.sliced(3, 2), f.sliced(0, 2) }))).texto();
        p.enBloque = true;
    }
    m_pendientes << std::move(p);
    if (m_estado->valores.size() >= Estado::kVuelosPorBloque * kValoresPorVuelo)
        return escribirBloque();
    // Refused rows wait with the others, so that the error file and the
    // progress follow the source's order.
    if (m_pendientes.size() >= 4 * Estado::kVuelosPorBloque)
        return escribirBloque();
    return true;
}

bool ImportacionFilas::escribirBloque()
{
    Estado &e = *m_estado;
    const qsizetype vuelos = e.valores.size() / kValoresPorVuelo;
    if (vuelos > 0) {
        const bool lleno = vuelos == Estado::kVuelosPorBloque;
        QSqlQuery corto(e.db);
        QSqlQuery &q = lleno ? e.bloque : corto;
        if (!lleno || !e.bloquePreparado) {
            if (!q.prepare(sentenciaVuelos(vuelos)))
                return falla(traducirError(q.lastError()));
            e.bloquePreparado = e.bloquePreparado || lleno;
        }
        for (qsizetype i = 0; i < e.valores.size(); ++i)
            q.bindValue(int(i), e.valores.at(i));
        if (!e.marca.exec())
            return falla(traducirError(e.marca.lastError()));
        if (q.exec()) {
            if (!e.liberar.exec())
                return falla(traducirError(e.liberar.lastError()));
        } else {
            const ErrorBD error = traducirError(q.lastError());
            // Without the savepoint the database has ended the whole
            // transaction: the import cannot go on.
            if (!e.volver.exec() || !e.liberar.exec())
                return falla(error);
            if (!escribirUnoAUno())
                return false;
        }
    }
    e.valores.clear();
    e.claves.clear();
    return cerrarFilas();
}

bool ImportacionFilas::escribirUnoAUno()
{
    Estado &e = *m_estado;
    if (!e.unoPreparado) {
        e.unoPreparado = e.uno.prepare(sentenciaVuelos(1));
        if (!e.unoPreparado)
            return falla(traducirError(e.uno.lastError()));
    }
    qsizetype desde = 0;
    for (Pendiente &p : m_pendientes) {
        if (!p.enBloque)
            continue;
        for (int i = 0; i < kValoresPorVuelo; ++i)
            e.uno.bindValue(i, e.valores.at(desde + i));
        desde += kValoresPorVuelo;
        if (!e.marca.exec())
            return falla(traducirError(e.marca.lastError()));
        if (e.uno.exec()) {
            if (!e.liberar.exec())
                return falla(traducirError(e.liberar.lastError()));
            continue;
        }
        const ErrorBD error = traducirError(e.uno.lastError());
        if (!e.volver.exec() || !e.liberar.exec())
            return falla(error);
        p.motivo = QStringLiteral("Error ") + QString::number(error.numero) + QStringLiteral(" - ") + error.texto;
    }
    return true;
}

bool ImportacionFilas::cerrarFilas()
{
    const Utilidad &utilidad = *m_ctx.utilidad;
    for (const Pendiente &p : std::as_const(m_pendientes)) {
        if (p.motivo.isEmpty()) {
            ++m_avance.transferidos;
        } else {
            const QString motivo = m_numerarFilas
                ? QStringLiteral("Fila ") + QString::number(p.numero) + QStringLiteral(": ") + p.motivo
                : p.motivo;
            const QByteArray bytes = aCp1252(lineaDeError(utilidad, p.campos, motivo)) + "\r\n";
            if (m_errores.write(bytes) != bytes.size())
                return falla(errorArchivo(m_errores, QStringLiteral("No se pudo escribir el archivo")));
            ++m_avance.rechazados;
        }
        ++m_avance.leidas;
        if (m_aviso)
            m_aviso(m_avance);
    }
    m_pendientes.clear();
    return true;
}

bool ImportacionFilas::terminar()
{
    if (m_error.hay() || !escribirBloque())
        return false;
    if (!m_errores.flush())
        return falla(errorArchivo(m_errores, QStringLiteral("No se pudo escribir el archivo")));
    return m_estado->transaccion.confirmar() || falla(baseBloqueada());
}

bool ArchivoTexto::leer(const QString &ruta)
{
    m_error = {};
    m_bytes.clear();
    QFile archivo(ruta);
    if (archivo.open(QIODevice::ReadOnly))
        m_bytes = archivo.readAll();
    if (!archivo.isOpen() || archivo.error() != QFileDevice::NoError) {
        m_error = errorArchivo(archivo, QStringLiteral("No se pudo leer el archivo"));
        m_bytes.clear();
        return false;
    }
    return true;
}

ImportacionVuelos::ImportacionVuelos(Contexto &contexto, const QString &periodoMostrado)
    : m_ctx(contexto)
    , m_periodoMostrado(periodoMostrado)
{
    if (m_periodoMostrado.isEmpty() && m_ctx.sPeriodo.size() == 6)
        m_periodoMostrado = m_ctx.sPeriodo.mid(4, 2) + u'/' + m_ctx.sPeriodo.left(4);
}

QString ImportacionVuelos::nombreArchivo() const
{
    return m_ctx.sFormulario + m_ctx.sRuc + m_ctx.sPeriodo + QStringLiteral(".TXT");
}

QString ImportacionVuelos::rutaErrores() const
{
    return m_ctx.sRutaReportes + u'/' + m_ctx.sFormulario + m_ctx.sRuc + m_ctx.sPeriodo
        + QStringLiteral(".Err");
}

QStringList ImportacionVuelos::buscarArchivos(const QString &carpeta) const
{
    const QString buscado = nombreArchivo();
    QStringList hallados;
    if (carpeta.isEmpty())
        return hallados;
    const QStringList nombres
        = QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &nombre : nombres) {
        if (nombre.compare(buscado, Qt::CaseInsensitive) != 0)
            continue;
        if (nombre == buscado)
            hallados.prepend(nombre);
        else
            hallados.append(nombre);
    }
    return hallados;
}

QString ImportacionVuelos::rutaEnCarpeta(const QString &carpeta) const
{
    const QStringList hallados = buscarArchivos(carpeta);
    const QString nombre = hallados.isEmpty() ? nombreArchivo() : hallados.first();
    QString ruta = carpeta;
    if (!ruta.endsWith(u'/'))
        ruta += u'/';
    return ruta + nombre;
}

bool ImportacionVuelos::CuentaPipes(const QString &sNombreFile) const
{
    ArchivoTexto archivo;
    return archivo.leer(sNombreFile)
        && archivo.recorrer([](const QString &l) { return separadoresCompletos(l); });
}

ResultadoImportacion ImportacionVuelos::ImportarVuelos(
    const QString &ruta, const std::function<void(const AvanceImportacion &)> &avance)
{
    using Estado = ResultadoImportacion::Estado;
    ResultadoImportacion r;
    const Utilidad &utilidad = *m_ctx.utilidad;
    if (!utilidad.existeArchivo(ruta))
        return r;

    const auto interrumpir = [&r](ErrorBD error) {
        r.estado = Estado::Interrumpida;
        r.transferidos = 0;
        r.rechazados = 0;
        r.error = std::move(error);
        return r;
    };

    // The whole file is checked before anything is written: every line with
    // its eleven "|" first, then every line ending in one.
    ArchivoTexto archivo;
    if (!archivo.leer(ruta))
        return interrumpir(archivo.error());
    AvanceImportacion paso;
    bool terminadas = true;
    const bool completas = archivo.recorrer([&](const QString &l) {
        ++paso.total;
        terminadas = terminadas && terminaEnSeparador(l);
        return separadoresCompletos(l);
    });
    if (!completas) {
        r.estado = Estado::CamposIncorrectos;
        return r;
    }

    QFile errores(rutaErrores());
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return interrumpir(errorArchivo(errores, QStringLiteral("No se pudo crear el archivo")));
    if (!terminadas) {
        r.estado = Estado::SinSeparadorFinal;
        return r;
    }

    // Nothing of a run that stops half way stays behind: neither its rows nor
    // the error lines of the records it had read.
    const auto abandonar = [&](ErrorBD error) {
        errores.close();
        if (errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
            errores.close();
        return interrumpir(std::move(error));
    };

    ImportacionFilas filas(m_ctx, m_periodoMostrado, errores, avance, paso.total);
    if (!filas.iniciar())
        return abandonar(filas.error());
    qint64 numero = 0;
    const bool leido
        = archivo.recorrer([&](const QString &linea) { return filas.fila(separarCampos(linea), ++numero); });
    if (!leido || !filas.terminar())
        return abandonar(filas.error());
    errores.close();
    r.estado = Estado::Terminada;
    r.transferidos = filas.avance().transferidos;
    r.rechazados = filas.avance().rechazados;
    return r;
}

} // namespace kv
