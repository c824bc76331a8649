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

// An import that stopped, with why; nothing of it was kept.
ResultadoImportacion interrumpida(
    ErrorBD error, ResultadoImportacion::Estado estado = ResultadoImportacion::Estado::Interrumpida)
{
    ResultadoImportacion r;
    r.estado = estado;
    r.error = std::move(error);
    return r;
}

ErrorBD errorArchivo(const QFileDevice &archivo, const QString &accion)
{
    return { kErrorArchivo,
        accion + u' ' + QDir::toNativeSeparators(archivo.fileName()) + QStringLiteral(": ")
            + archivo.errorString() };
}

// What a flight already in the working copy takes from a line: its counts
// and tax; its key stays. A second import of a file updates its flights.
const QString kActualizarVuelo = QStringLiteral(
    " ON CONFLICT (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) DO UPDATE SET "
    "num_tripulantes=excluded.num_tripulantes, num_personal=excluded.num_personal, "
    "num_transito=excluded.num_transito, num_arrfor=excluded.num_arrfor, "
    "num_diplo=excluded.num_diplo, num_extrad=excluded.num_extrad, "
    "num_deport=excluded.num_deport, num_adqanterior=excluded.num_adqanterior, "
    "num_afectos=excluded.num_afectos, mto_dolar=excluded.mto_dolar");
const QString kColumnasInsercion = QStringLiteral(
    "INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, "
    "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, num_deport, "
    "num_adqanterior, num_afectos, mto_dolar) ");

// One flight: the declaration's key, then the line's date, code, counts and
// tax.
QString sentenciaVuelo()
{
    return kColumnasInsercion + QStringLiteral("VALUES (6,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)") + kActualizarVuelo;
}

// A block of flights on a server: the key, then one array per column.
QString sentenciaBloqueVuelos()
{
    return kColumnasInsercion
        + QStringLiteral("SELECT 6, ?, ?, ?, u.* FROM unnest(") + QStringList(12, QStringLiteral("?::text[]")).join(u',')
        + QStringLiteral(") AS u") + kActualizarVuelo;
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
    static constexpr int kVuelosPorBloque = 500;

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
            sqlite = std::make_unique<SentenciaSqlite>(db, sentenciaVuelo());
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
    QHash<int, Decimal> tasaPorFecha; // by yyyymmdd
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

bool ImportacionFilas::fila(const CamposVuelo &leidos, qint64 numero, qint64 leido, qint64 total)
{
    if (m_error.hay())
        return false;
    if (total >= 0)
        m_avance.total = total;
    CamposVuelo campos;
    for (int i = 0; i < kCamposVuelo; ++i)
        campos[i] = sinBlancosAlrededor(leidos[i]);
    LineaVuelo vuelo = m_estado->reglas.analizar(std::move(campos));
    if (!vuelo.aceptada() && m_pendientes.isEmpty())
        return cerrarFila(vuelo.campos, vuelo.error, numero, leido);
    QString monto;
    // An accepted date field is dd/mm/yyyy; the working copy keeps yyyy-mm-dd.
    char16_t iso[10] = {};
    if (vuelo.aceptada()) {
        const QStringView f(vuelo.campos[0]);
        for (int i = 0; i < 4; ++i)
            iso[i] = f[6 + i].unicode();
        iso[4] = iso[7] = u'-';
        iso[5] = f[3].unicode();
        iso[6] = f[4].unicode();
        iso[8] = f[0].unicode();
        iso[9] = f[1].unicode();
        monto = montoDolares(vuelo);
    }
    const QStringView fechaIso(iso, 10);
    if (vuelo.aceptada() && m_estado->sqlite) {
        SentenciaSqlite &q = *m_estado->sqlite;
        q.texto(0, m_ctx.sRuc);
        q.texto(1, m_ctx.sPeriodo);
        q.texto(2, m_ctx.sFormulario);
        q.texto(3, fechaIso);
        q.texto(4, vuelo.codigo);
        for (int i = 0; i < kCantidadesVuelo; ++i)
            q.texto(5 + i, vuelo.cantidades[i]);
        q.texto(14, monto);
        QString motivo;
        if (!q.ejecutar()) {
            // Without its transaction the import cannot go on; otherwise the
            // flight alone is refused, with the database's reason.
            if (q.sinTransaccion())
                return falla(q.error());
            motivo = QStringLiteral("Error ") + QString::number(q.error().numero) + QStringLiteral(" - ")
                + q.error().texto;
        }
        return cerrarFila(vuelo.campos, motivo, numero, leido);
    }
    Pendiente p { std::move(vuelo.campos), std::move(vuelo.error), numero, leido, false };
    if (p.motivo.isEmpty()) {
        // A flight met twice in a block goes into the next one, after the
        // first has been written: the later line wins, as line by line.
        const QString clave = fechaIso.toString() + u'|' + vuelo.codigo;
        if (m_estado->claves.contains(clave) && !escribirBloque())
            return false;
        m_estado->claves.insert(clave);
        QVariantList &v = m_estado->valores;
        v << m_estado->clave << fechaIso.toString() << vuelo.codigo;
        for (const QString &c : vuelo.cantidades)
            v << c;
        v << monto;
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

QString ImportacionFilas::montoDolares(const LineaVuelo &vuelo)
{
    // The passengers subject to the tax times the rate in force on the
    // arrival date, read once per date. A count is up to five digits.
    qint64 afectos = 0;
    for (const QChar c : vuelo.cantidades[kCantidadesVuelo - 1])
        afectos = afectos * 10 + (c.unicode() - u'0');
    const int dia = vuelo.fecha.year() * 10000 + vuelo.fecha.month() * 100 + vuelo.fecha.day();
    auto it = m_estado->tasaPorFecha.constFind(dia);
    if (it == m_estado->tasaPorFecha.cend())
        it = m_estado->tasaPorFecha.insert(dia, val(m_estado->tasas.vigente(QString::number(dia))));
    return (Decimal::entero(afectos) * *it).texto();
}

bool ImportacionFilas::escribirBloque()
{
    Estado &e = *m_estado;
    const qsizetype vuelos = e.valores.size() / kValoresPorVuelo;
    if (vuelos > 0) {
        QSqlQuery &q = e.bloque;
        if (!e.bloquePreparado) {
            if (!q.prepare(sentenciaBloqueVuelos()))
                return falla(traducirError(q.lastError()));
            e.bloquePreparado = true;
        }
        for (int i = 0; i < 3; ++i)
            q.bindValue(i, e.clave.at(i));
        for (int c = 3; c < kValoresPorVuelo; ++c) {
            QStringList columna;
            columna.reserve(vuelos);
            for (qsizetype v = 0; v < vuelos; ++v)
                columna << e.valores.at(v * kValoresPorVuelo + c).toString();
            q.bindValue(c, dialecto::arregloPostgres(columna));
        }
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
        e.unoPreparado = e.uno.prepare(sentenciaVuelo());
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
    for (const Pendiente &p : std::as_const(m_pendientes)) {
        if (!cerrarFila(p.campos, p.motivo, p.numero, p.leido))
            return false;
    }
    m_pendientes.clear();
    return true;
}

bool ImportacionFilas::cerrarFila(const CamposVuelo &campos, const QString &motivo, qint64 numero, qint64 leido)
{
    if (motivo.isEmpty()) {
        ++m_avance.transferidos;
    } else {
        const QString texto = m_numerarFilas
            ? QStringLiteral("Fila ") + QString::number(numero) + QStringLiteral(": ") + motivo
            : motivo;
        const QByteArray bytes = aCp1252(lineaDeError(*m_ctx.utilidad, campos, texto)) + "\r\n";
        if (m_errores.write(bytes) != bytes.size())
            return falla(errorArchivo(m_errores, QStringLiteral("No se pudo escribir el archivo")));
        ++m_avance.rechazados;
    }
    m_avance.leidas = leido >= 0 ? leido : m_avance.leidas + 1;
    if (m_aviso)
        m_aviso(m_avance);
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

ReglasImportacion ImportacionVuelos::reglas() const
{
    const QDate hoy = m_ctx.reloj ? m_ctx.reloj->hoy() : QDate::currentDate();
    return ReglasImportacion(*m_ctx.utilidad, hoy, m_periodoMostrado);
}

ResultadoImportacion ImportacionVuelos::ImportarVuelos(
    const QString &ruta, const std::function<void(const AvanceImportacion &)> &avance)
{
    using Estado = ResultadoImportacion::Estado;
    ResultadoImportacion r;
    if (!m_ctx.utilidad->existeArchivo(ruta))
        return r;

    // The whole file is checked before anything is written: every line with
    // its eleven "|" first, then every line ending in one.
    ArchivoTexto archivo;
    if (!archivo.leer(ruta))
        return interrumpida(archivo.error());
    qint64 total = 0;
    bool terminadas = true;
    // In the code page "|" and the blank are the bytes of those characters
    // and no other: the lines are checked as they are in the file.
    const bool completas = archivo.recorrerBytes([&](QByteArrayView l) {
        ++total;
        if (terminadas) {
            QByteArrayView recortada = l;
            while (!recortada.isEmpty() && recortada.back() == ' ')
                recortada.chop(1);
            terminadas = recortada.isEmpty() || recortada.back() == '|';
        }
        return l.count('|') == kCamposVuelo;
    });
    if (!completas) {
        r.estado = Estado::CamposIncorrectos;
        return r;
    }

    QFile errores(rutaErrores());
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return interrumpida(errorArchivo(errores, QStringLiteral("No se pudo crear el archivo")));
    if (!terminadas) {
        r.estado = Estado::SinSeparadorFinal;
        return r;
    }
    return importar(
        errores, false,
        [&](const AlRegistro &alRegistro) {
            qint64 numero = 0;
            archivo.recorrer([&](const QString &linea) {
                ++numero;
                return alRegistro({ separarCampos(linea), numero }, numero, total);
            });
            return QString();
        },
        avance);
}

ResultadoImportacion ImportacionVuelos::ImportarRegistros(
    const RecorridoRegistros &recorrer, const std::function<void(const AvanceImportacion &)> &avance)
{
    QFile errores(rutaErrores());
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return interrumpida(errorArchivo(errores, QStringLiteral("No se pudo crear el archivo")));
    return importar(errores, true, recorrer, avance);
}

ResultadoImportacion ImportacionVuelos::importar(QFile &errores, bool numerarFilas,
    const RecorridoRegistros &recorrer, const std::function<void(const AvanceImportacion &)> &avance)
{
    using Estado = ResultadoImportacion::Estado;
    // Nothing of a run that stops half way stays behind: neither its rows nor
    // the error lines of the records it had read.
    const auto abandonar = [&](ErrorBD error, Estado estado = Estado::Interrumpida) {
        errores.close();
        if (errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
            errores.close();
        return interrumpida(std::move(error), estado);
    };

    ImportacionFilas filas(m_ctx, m_periodoMostrado, errores, avance);
    filas.setNumerarFilas(numerarFilas);
    if (!filas.iniciar())
        return abandonar(filas.error());
    bool detenida = false;
    const QString danado = recorrer([&](const RegistroVuelo &registro, qint64 leido, qint64 total) {
        detenida = !filas.fila(registro.campos, registro.fila, leido, total);
        return !detenida;
    });
    if (detenida)
        return abandonar(filas.error());
    if (!danado.isEmpty())
        return abandonar({ kErrorArchivo, danado }, Estado::ArchivoDanado);
    if (!filas.terminar())
        return abandonar(filas.error());
    errores.close();
    ResultadoImportacion r;
    r.estado = Estado::Terminada;
    r.transferidos = filas.avance().transferidos;
    r.rechazados = filas.avance().rechazados;
    return r;
}

} // namespace kv
