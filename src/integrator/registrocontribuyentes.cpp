#include "registrocontribuyentes.h"

#include "store/contexto.h"
#include "store/esquema.h"
#include "store/formato.h"
#include "store/reloj.h"
#include "store/utilidad.h"

namespace kv {

RegistroContribuyentes::RegistroContribuyentes(Contexto &contexto)
    : m_ctx(contexto)
    , m_datos(contexto)
{
}

void RegistroContribuyentes::avisar(const QString &texto, Icono icono) const
{
    m_ctx.mensajes->mostrar(titulo(), texto, icono);
}

ConsultaSql RegistroContribuyentes::consultaLista() const
{
    ConsultaSql consulta { QStringLiteral(
                               "SELECT Doc_id_d, Nombre, Usuario, Fec_reg FROM CONT WHERE Tip_doc_d = ?"),
        { kTipoRuc } };
    if (m_datos.TipoUsuario() != u"0") {
        consulta.sql += QStringLiteral(" AND Usuario = ?");
        consulta.valores << m_ctx.sUsuario;
    }
    consulta.sql += QStringLiteral(" ORDER BY Doc_id_d");
    return consulta;
}

std::optional<Contribuyente> RegistroContribuyentes::buscar(const QString &ruc) const
{
    QSqlQuery q = m_datos.consultar(
        QStringLiteral(
            "SELECT Doc_id_d, Nombre, Usuario, Fec_reg FROM CONT WHERE Tip_doc_d = ? AND Doc_id_d = ?"),
        { kTipoRuc, ruc.trimmed() });
    if (!q.next())
        return std::nullopt;
    return Contribuyente { q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
        fechaGuardada(q.value(3)) };
}

bool RegistroContribuyentes::puedeVer(const Contribuyente &c) const
{
    return m_datos.TipoUsuario() == u"0" || c.usuario == m_ctx.sUsuario;
}

bool RegistroContribuyentes::validarNombre(const QString &nombre) const
{
    if (nombre.isEmpty()) {
        avisar(QStringLiteral("Debe registrar la razón social del contribuyente."));
        return false;
    }
    if (nombre.size() > kLargoNombre) {
        avisar(QStringLiteral("La razón social no debe tener más de %1 caracteres.").arg(kLargoNombre));
        return false;
    }
    return true;
}

bool RegistroContribuyentes::tieneDeclaraciones(const QString &ruc) const
{
    // Saved and sent declarations hang on the taxpayer's key, whatever form.
    for (const char *tabla : { "CAB", "HCAB" }) {
        const QString nombre = QString::fromLatin1(tabla);
        if (!existeTabla(m_ctx.db(), nombre))
            continue;
        QSqlQuery q = m_datos.consultar(
            QStringLiteral("SELECT 1 FROM %1 WHERE tip_doc_d = ? AND doc_id_d = ? LIMIT 1").arg(nombre),
            { kTipoRuc, ruc });
        if (q.next())
            return true;
    }
    return false;
}

bool RegistroContribuyentes::agregar(const QString &ruc, const QString &nombre)
{
    const QString numero = ruc.trimmed();
    if (!m_ctx.utilidad->validaRuc(numero)) {
        avisar(QStringLiteral("El número de RUC no es válido."));
        return false;
    }
    const QString razonSocial = nombre.trimmed();
    if (!validarNombre(razonSocial))
        return false;
    if (buscar(numero)) {
        avisar(QStringLiteral("El contribuyente con RUC %1 ya se encuentra registrado.").arg(numero));
        return false;
    }
    return m_datos.EjecutarSQL(
        QStringLiteral(
            "INSERT INTO CONT (Tip_doc_d, Doc_id_d, Fec_reg, Nombre, Usuario) VALUES (?, ?, ?, ?, ?)"),
        { kTipoRuc, numero, m_ctx.reloj->hoy().toString(Qt::ISODate), razonSocial, m_ctx.sUsuario });
}

bool RegistroContribuyentes::cambiar(const QString &ruc, const QString &nombre)
{
    const std::optional<Contribuyente> c = buscar(ruc);
    if (!c || !puedeVer(*c)) {
        avisar(QStringLiteral("El contribuyente con RUC %1 no se encuentra registrado.").arg(ruc.trimmed()));
        return false;
    }
    const QString razonSocial = nombre.trimmed();
    if (!validarNombre(razonSocial))
        return false;
    return m_datos.EjecutarSQL(
        QStringLiteral("UPDATE CONT SET Nombre = ? WHERE Tip_doc_d = ? AND Doc_id_d = ?"),
        { razonSocial, kTipoRuc, c->ruc });
}

bool RegistroContribuyentes::eliminar(const QString &ruc)
{
    const std::optional<Contribuyente> c = buscar(ruc);
    if (!c || !puedeVer(*c)) {
        avisar(QStringLiteral("El contribuyente con RUC %1 no se encuentra registrado.").arg(ruc.trimmed()));
        return false;
    }
    if (tieneDeclaraciones(c->ruc)) {
        avisar(QStringLiteral("El contribuyente %1 tiene declaraciones registradas y no se puede eliminar.")
                   .arg(c->ruc));
        return false;
    }
    const Respuesta r = m_ctx.mensajes->mostrar(titulo(),
        QStringLiteral("¿Desea eliminar al contribuyente %1 - %2?").arg(c->ruc, c->nombre), Icono::Pregunta,
        Botones::SiNo, Respuesta::No);
    if (r != Respuesta::Si)
        return false;
    return m_datos.EjecutarSQL(
        QStringLiteral("DELETE FROM CONT WHERE Tip_doc_d = ? AND Doc_id_d = ?"), { kTipoRuc, c->ruc });
}

} // namespace kv
