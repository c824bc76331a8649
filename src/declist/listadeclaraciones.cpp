#include "listadeclaraciones.h"

#include "store/contexto.h"
#include "store/mensajes.h"
#include "store/transaccion.h"

namespace kv {

ListaDeclaraciones::ListaDeclaraciones(AccesoDatos &datos, bool historico) : m_datos(datos), m_historico(historico)
{
}

ConsultaSql ListaDeclaraciones::consulta() const
{
    const Contexto &ctx = m_datos.contexto();
    const bool todos = m_datos.TipoUsuario() == u"0";
    ConsultaSql c;
    if (m_historico) {
        c.sql = QStringLiteral(
            "SELECT A.DOC_ID_D, B.NOMBRE, a.fec_env, substr(A.PERIODO,5,2) || substr(A.PERIODO,1,4) AS PERIODO, "
            "A.FORMULARIO, a.correl, a.norden, a.control, a.estado, a.rectifica FROM HCAB AS A, CONT AS B "
            "WHERE A.DOC_ID_D=B.DOC_ID_D AND A.TIP_DOC_D=6 AND B.TIP_DOC_D=6 AND A.FORMULARIO=?");
        c.valores << ctx.sFormulario;
        if (!todos) {
            c.sql += QStringLiteral(" AND B.USUARIO=?");
            c.valores << ctx.sUsuario;
        }
        c.sql += QStringLiteral(" AND a.estado=1 ORDER BY A.DOC_ID_D ASC");
    } else {
        c.sql = QStringLiteral(
            "SELECT A.DOC_ID_D, B.NOMBRE, substr(A.PERIODO,5,2) || substr(A.PERIODO,1,4) AS PERIODO, "
            "A.FORMULARIO, a.estado FROM CAB AS A, CONT AS B WHERE A.DOC_ID_D=B.DOC_ID_D AND A.FORMULARIO=?");
        c.valores << ctx.sFormulario;
        if (!todos) {
            c.sql += QStringLiteral(" AND B.USUARIO=?");
            c.valores << ctx.sUsuario;
        }
        c.sql += QStringLiteral(" ORDER BY A.DOC_ID_D ASC, A.PERIODO DESC, A.FORMULARIO ASC");
    }
    return c;
}

bool ListaDeclaraciones::eliminar(const DeclaracionElegida &d)
{
    const QStringList tablas = m_historico
        ? QStringList{QStringLiteral("hDET"), QStringLiteral("hCAB"), QStringLiteral("HF517DETVP"),
                      QStringLiteral("HF517PAGPRE")}
        : QStringList{QStringLiteral("DET"), QStringLiteral("CAB"), QStringLiteral("F517DETVP"),
                      QStringLiteral("F517PAGPRE")};

    Contexto &ctx = m_datos.contexto();
    auto bloqueada = [&ctx] {
        if (ctx.mensajes)
            ctx.mensajes->mostrar(QStringLiteral("Error al Ejecutar Sentencia SQL"),
                                  QStringLiteral("Error Número : ") + QString::number(kErrorBaseBloqueada)
                                      + QStringLiteral("\ndatabase is locked"),
                                  Icono::Critico);
        return false;
    };
    // The write lock is taken before the first deletion, so another program
    // never sees half a declaration.
    Transaccion transaccion(ctx.db(), Transaccion::Modo::Inmediata);
    if (!transaccion.iniciada())
        return bloqueada();
    QString condicion = QStringLiteral(" WHERE TIP_DOC_D=6 AND DOC_ID_D=? AND PERIODO=? AND FORMULARIO=?");
    QVariantList valores{d.docId, d.periodo, d.formulario};
    if (m_historico) {
        condicion += QStringLiteral(" AND CORREL=?");
        valores << d.correl;
    }
    for (const QString &tabla : tablas) {
        if (!m_datos.EjecutarSQL(QStringLiteral("DELETE FROM ") + tabla + condicion, valores))
            return false;
    }
    return transaccion.confirmar() || bloqueada();
}

QString ListaDeclaraciones::periodoAlmacenado(const QString &periodoLista)
{
    return periodoLista.right(4) + periodoLista.left(2);
}

} // namespace kv
