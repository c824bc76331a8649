#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace kv {

// The main window's status bar: what the user is working on (taxpayer,
// name, form and period). The windows write its properties and never read
// them back; the values are shown as they are given.
class BarradeEstadoQDL : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString numdoc READ numdoc WRITE setNumdoc)
    Q_PROPERTY(QString razonsocial READ razonsocial WRITE setRazonsocial)
    Q_PROPERTY(QString formulario READ formulario WRITE setFormulario)
    Q_PROPERTY(QString periodo_ejercicio READ periodo_ejercicio WRITE setPeriodo_ejercicio)
    Q_PROPERTY(int esruc READ esruc WRITE setEsruc)
    Q_PROPERTY(int semana READ semana WRITE setSemana)

public:
    explicit BarradeEstadoQDL(QWidget *padre = nullptr);

    QString numdoc() const { return m_numdoc; }
    QString razonsocial() const { return m_razonsocial; }
    QString formulario() const { return m_formulario; }
    QString periodo_ejercicio() const { return m_periodo; }
    int esruc() const { return m_esruc; }
    int semana() const { return m_semana; }

    void setNumdoc(const QString &valor);
    void setRazonsocial(const QString &valor);
    void setFormulario(const QString &valor);
    void setPeriodo_ejercicio(const QString &valor);
    void setEsruc(int valor);
    void setSemana(int valor);

    // The text each panel shows, for the windows' tests.
    QString textoMostrado(const QString &propiedad) const;

private:
    void mostrar();

    QString m_numdoc;
    QString m_razonsocial;
    QString m_formulario;
    QString m_periodo;
    int m_esruc = 1;
    int m_semana = 0;

    QLabel *m_lblDocumento;
    QLabel *m_lblRazon;
    QLabel *m_lblFormulario;
    QLabel *m_lblPeriodo;
    QLabel *m_lblSemana;
};

} // namespace kv
