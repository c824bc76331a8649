#include "importacionvuelos.h"

#include "store/accesodatos.h"
#include "store/contexto.h"
#include "store/dialecto.h"
#include "store/numeros.h"
#include "store/reloj.h"
#include "store/tablatasas.h"
#include "store/texto.h"
#include "store/transaccion.h"
#include "store/utilidad.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>

namespace kv {

namespace {

ErrorBD errorArchivo(const QFile &archivo, const QString &accion)
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

// Writes the accepted flights of one import. The statement is prepared
// once, with the declaration's key bound once; a flight is found through
// the table's primary key (date and code as stored), never by reading the
// declaration's rows, so an import takes time in proportion to its file.
// Each flight is written under a savepoint of its own, so that a flight the
// database refuses is undone alone while the import's transaction goes on.
class GrabadorVuelos
{
public:
    GrabadorVuelos(const Contexto &ctx, QSqlDatabase db, const TablaTasas &tasas)
        : m_tasas(tasas)
        , m_grabar(db)
        , m_marca(db, QStringLiteral("SAVEPOINT vuelo"))
        , m_liberar(db, QStringLiteral("RELEASE SAVEPOINT vuelo"))
        , m_volver(db, QStringLiteral("ROLLBACK TO SAVEPOINT vuelo"))
    {
        // A flight already in the working copy keeps its key and takes the
        // file's counts: a second import of a file updates its flights.
        m_grabar.prepare(QStringLiteral(
            "INSERT INTO TMPF517DETVP (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo, "
            "num_tripulantes, num_personal, num_transito, num_arrfor, num_diplo, num_extrad, num_deport, "
            "num_adqanterior, num_afectos, mto_dolar) "
            "VALUES (6, :ruc, :periodo, :formulario, :fecha, :codigo, :c0, :c1, :c2, :c3, :c4, :c5, :c6, "
            ":c7, :c8, "
            ":monto) "
            "ON CONFLICT (tip_doc_d, doc_id_d, periodo, formulario, fec_arribo, cod_vuelo) DO UPDATE SET "
            "num_tripulantes=excluded.num_tripulantes, num_personal=excluded.num_personal, "
            "num_transito=excluded.num_transito, num_arrfor=excluded.num_arrfor, "
            "num_diplo=excluded.num_diplo, "
            "num_extrad=excluded.num_extrad, num_deport=excluded.num_deport, "
            "num_adqanterior=excluded.num_adqanterior, num_afectos=excluded.num_afectos, "
            "mto_dolar=excluded.mto_dolar"));
        m_grabar.bindValue(QStringLiteral(":ruc"), ctx.sRuc);
        m_grabar.bindValue(QStringLiteral(":periodo"), ctx.sPeriodo);
        m_grabar.bindValue(QStringLiteral(":formulario"), ctx.sFormulario);
    }

    // The flight of the line, inserted or updated. On failure the flight is
    // undone; `transaccionPerdida` tells that the database ended the whole
    // transaction (the rows written before are gone with it).
    ErrorBD GrabaVuelo(const LineaVuelo &vuelo, bool &transaccionPerdida)
    {
        static const QString kCantidades[kCantidadesVuelo] = { QStringLiteral(":c0"), QStringLiteral(":c1"),
            QStringLiteral(":c2"), QStringLiteral(":c3"), QStringLiteral(":c4"), QStringLiteral(":c5"),
            QStringLiteral(":c6"), QStringLiteral(":c7"), QStringLiteral(":c8") };
        static const QString kFecha = QStringLiteral(":fecha");
        static const QString kCodigo = QStringLiteral(":codigo");
        static const QString kMonto = QStringLiteral(":monto");

        transaccionPerdida = false;
        if (!m_marca.exec())
            return fallo(m_marca, transaccionPerdida);
        // An accepted date field is dd/mm/yyyy.
        const QStringView f(vuelo.campos[0]);
        m_grabar.bindValue(kFecha, unir({ f.sliced(6, 4), u"-", f.sliced(3, 2), u"-", f.sliced(0, 2) }));
        m_grabar.bindValue(kCodigo, vuelo.codigo);
        for (int i = 0; i < kCantidadesVuelo; ++i)
            m_grabar.bindValue(kCantidades[i], vuelo.cantidades[i]);
        const Decimal afectos = Decimal::entero(vuelo.cantidades[kCantidadesVuelo - 1].toLongLong());
        m_grabar.bindValue(
            kMonto, (afectos * tasa(unir({ f.sliced(6, 4), f.sliced(3, 2), f.sliced(0, 2) }))).texto());
        if (!m_grabar.exec())
            return fallo(m_grabar, transaccionPerdida);
        if (!m_liberar.exec())
            return fallo(m_liberar, transaccionPerdida);
        return {};
    }

private:
    // The rate in force on a date (yyyymmdd), read once per date.
    Decimal tasa(const QString &fecha)
    {
        auto it = m_tasaPorFecha.constFind(fecha);
        if (it == m_tasaPorFecha.cend())
            it = m_tasaPorFecha.insert(fecha, val(m_tasas.vigente(fecha)));
        return *it;
    }

    template<typename Sentencia>
    ErrorBD fallo(const Sentencia &q, bool &transaccionPerdida)
    {
        const ErrorBD error = traducirError(q.lastError());
        // Without the savepoint the transaction itself is gone.
        transaccionPerdida = !m_volver.exec() || !m_liberar.exec();
        return error;
    }

    const TablaTasas &m_tasas;
    QHash<QString, Decimal> m_tasaPorFecha;
    QSqlQuery m_grabar;
    SentenciaRepetida m_marca;
    SentenciaRepetida m_liberar;
    SentenciaRepetida m_volver;
};

QString lineaDeError(const Utilidad &u, const CamposVuelo &campos, QString error)
{
    error.replace(u'\r', u' ').replace(u'\n', u' ');
    return u.alinearIzquierda(campos[0], 12) + u.alinearIzquierda(campos[1], 17) + error;
}

} // namespace

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
    const Utilidad &utilidad = *m_ctx.utilidad;
    if (!utilidad.existeArchivo(ruta))
        return r;

    // The whole file is checked before anything is written: every line with
    // its eleven "|" first, then every line ending in one.
    ArchivoTexto archivo;
    if (!archivo.leer(ruta)) {
        r.estado = Estado::Interrumpida;
        r.error = archivo.error();
        return r;
    }
    qint64 total = 0;
    bool terminadas = true;
    const bool completas = archivo.recorrer([&](const QString &l) {
        ++total;
        terminadas = terminadas && terminaEnSeparador(l);
        return separadoresCompletos(l);
    });
    if (!completas) {
        r.estado = Estado::CamposIncorrectos;
        return r;
    }

    QFile errores(rutaErrores());
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        r.estado = Estado::Interrumpida;
        r.error = errorArchivo(errores, QStringLiteral("No se pudo crear el archivo"));
        return r;
    }
    if (!terminadas) {
        r.estado = Estado::SinSeparadorFinal;
        return r;
    }
    return importar(
        errores,
        [&](const AlRegistro &alRegistro) {
            qint64 leidas = 0;
            archivo.recorrer([&](const QString &linea) {
                return alRegistro({ separarCampos(linea), 0 }, ++leidas, total);
            });
            return QString();
        },
        avance);
}

ResultadoImportacion ImportacionVuelos::ImportarRegistros(
    const RecorridoRegistros &recorrer, const std::function<void(const AvanceImportacion &)> &avance)
{
    QFile errores(rutaErrores());
    if (!errores.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ResultadoImportacion r;
        r.estado = ResultadoImportacion::Estado::Interrumpida;
        r.error = errorArchivo(errores, QStringLiteral("No se pudo crear el archivo"));
        return r;
    }
    return importar(errores, recorrer, avance);
}

ResultadoImportacion ImportacionVuelos::importar(QFile &errores, const RecorridoRegistros &recorrer,
    const std::function<void(const AvanceImportacion &)> &avance)
{
    using Estado = ResultadoImportacion::Estado;
    ResultadoImportacion r;
    const Utilidad &utilidad = *m_ctx.utilidad;

    // Nothing of a run that stops half way stays behind: neither its rows nor
    // the error lines of the records it had read.
    const auto abandonar = [&](ErrorBD error, Estado estado = Estado::Interrumpida) {
        errores.close();
        if (errores.open(QIODevice::WriteOnly | QIODevice::Truncate))
            errores.close();
        r.estado = estado;
        r.transferidos = 0;
        r.rechazados = 0;
        r.error = std::move(error);
        return r;
    };
    // Another program holds the database: the one reason the engine gives
    // for not starting or not ending a write transaction.
    const ErrorBD bloqueada { kErrorBaseBloqueada, QStringLiteral("database is locked") };

    QSqlDatabase db = m_ctx.db();
    Transaccion transaccion(db, Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return abandonar(bloqueada);

    const AccesoDatos datos(m_ctx);
    const TablaTasas tasas(datos);
    const ReglasImportacion reglas = this->reglas();
    GrabadorVuelos grabador(m_ctx, db, tasas);

    AvanceImportacion paso;
    ErrorBD falloGrave;
    bool detenida = false;
    const QString danado = recorrer([&](const RegistroVuelo &registro, qint64 leido, qint64 total) {
        const LineaVuelo vuelo = reglas.analizar(registro.campos);
        QString motivo = vuelo.error;
        if (vuelo.aceptada()) {
            bool perdida = false;
            const ErrorBD fallo = grabador.GrabaVuelo(vuelo, perdida);
            if (perdida) {
                falloGrave = fallo;
                detenida = true;
                return false;
            }
            if (fallo.hay())
                motivo = QStringLiteral("Error ") + QString::number(fallo.numero) + QStringLiteral(" - ")
                    + fallo.texto;
        }
        if (motivo.isEmpty()) {
            ++paso.transferidos;
        } else {
            if (registro.fila > 0)
                motivo.prepend(QStringLiteral("Fila ") + QString::number(registro.fila) + QStringLiteral(": "));
            const QByteArray bytes = aCp1252(lineaDeError(utilidad, vuelo.campos, motivo)) + "\r\n";
            if (errores.write(bytes) != bytes.size()) {
                falloGrave = errorArchivo(errores, QStringLiteral("No se pudo escribir el archivo"));
                detenida = true;
                return false;
            }
            ++paso.rechazados;
        }
        paso.leidas = leido;
        paso.total = total;
        if (avance)
            avance(paso);
        return true;
    });
    if (detenida)
        return abandonar(falloGrave);
    if (!danado.isEmpty())
        return abandonar({ kErrorArchivo, danado }, Estado::ArchivoDanado);

    if (!errores.flush())
        return abandonar(errorArchivo(errores, QStringLiteral("No se pudo escribir el archivo")));
    if (!transaccion.confirmar())
        return abandonar(bloqueada);
    errores.close();
    r.estado = Estado::Terminada;
    r.transferidos = paso.transferidos;
    r.rechazados = paso.rechazados;
    return r;
}

} // namespace kv
