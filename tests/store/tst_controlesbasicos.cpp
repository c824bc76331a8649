#include "store/idioma.h"
#include "store/ui/filtroteclas.h"
#include "store/ui/listas.h"
#include "store/ui/mensajesventana.h"
#include "store/ui/ventanas.h"
#include "store/utilidad.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace kv;

class TstControlesBasicos : public QObject
{
    Q_OBJECT
    Utilidad m_utilidad;

private Q_SLOTS:
    void seleccionarEnCombo_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<int>("indice");
        QTest::newRow("first") << "5841" << 0;
        QTest::newRow("middle, blanks around") << " 5843 " << 2;
        QTest::newRow("not in the list: the last stays") << "9999" << 3;
    }
    void seleccionarEnCombo()
    {
        QFETCH(QString, codigo);
        QFETCH(int, indice);
        QComboBox lista;
        lista.addItems({QStringLiteral("5841             UNO"), QStringLiteral("5842             DOS"),
                        QStringLiteral("5843             TRES"), QStringLiteral("0517             CUATRO")});
        SeleccionarEnCombo(&lista, codigo, 4);
        QCOMPARE(lista.currentIndex(), indice);
    }

    void filtroNumericoYEnter()
    {
        QWidget ventana;
        auto *capa = new QVBoxLayout(&ventana);
        auto *numero = new QLineEdit;
        auto *codigo = new QLineEdit;
        capa->addWidget(numero);
        capa->addWidget(codigo);
        FiltroTeclas::instalar(numero, m_utilidad, {FiltroTeclas::Tipo::NumericoDecimal, true, true, true, {}});
        FiltroTeclas::instalar(codigo, m_utilidad, {FiltroTeclas::Tipo::CodigoMayusculas, true, false, false, {}});
        ventana.show();
        QVERIFY(QTest::qWaitForWindowExposed(&ventana));
        numero->setFocus();
        QTest::keyClicks(numero, QStringLiteral("1a2.5-x"));
        QCOMPARE(numero->text(), QStringLiteral("12.5"));
        QTest::keyClick(numero, Qt::Key_Backspace);
        QCOMPARE(numero->text(), QStringLiteral("12."));

        QApplication::clipboard()->setText(QStringLiteral("999"));
        QTest::keyClick(numero, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(numero, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(numero->text(), QStringLiteral("12."));
        QCOMPARE(QApplication::clipboard()->text(), QString());

        QTest::keyClick(numero, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), codigo);
        QTest::keyClicks(codigo, QStringLiteral("la-24"));
        QKeyEvent enie(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ñ"));
        QApplication::sendEvent(codigo, &enie);
        QCOMPARE(codigo->text(), QStringLiteral("LA24Ñ"));
    }

    void abrirVentanaSoloLasRegistradas()
    {
        RegistroVentanas registro;
        ParametrosVentana recibido;
        registro.registrar(QStringLiteral("Detalle"), [&](const ParametrosVentana &p, QWidget *) {
            recibido = p;
            auto ventana = std::make_unique<QDialog>();
            QTimer::singleShot(0, ventana.get(), &QDialog::accept);
            return ventana;
        });
        QVERIFY(!registro.AbrirVentana(QStringLiteral("Nada"), QStringLiteral("NEW"), false));
        QVERIFY(registro.AbrirVentana(QStringLiteral("Detalle"), QStringLiteral("MOD"), true, QStringLiteral("002"), 3));
        QCOMPARE(recibido.accion, QStringLiteral("MOD"));
        QVERIFY(recibido.historico);
        QCOMPARE(recibido.texto, QStringLiteral("002"));
        QCOMPARE(recibido.paginas, 3);
    }

    // Qt's own texts read in Spanish once a program has started: the
    // buttons of a question, and the locale numbers are written in.
    void preguntaEnCastellano()
    {
        QVERIFY(iniciarIdioma(*QCoreApplication::instance()));
        QCOMPARE(QLocale().name(), QStringLiteral("es_PE"));
        QStringList botones;
        QTimer::singleShot(0, [&botones] {
            auto *caja = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!caja)
                return;
            for (QMessageBox::StandardButton b : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel})
                botones << (caja->button(b) ? caja->button(b)->text().remove(u'&') : QString());
            caja->done(QMessageBox::Cancel);
        });
        MensajesVentana mensajes;
        mensajes.mostrar(QStringLiteral("Prueba"), QStringLiteral("¿Desea guardar los cambios?"), Icono::Pregunta,
                         Botones::SiNoCancelar, Respuesta::Si);
        QCOMPARE(botones, (QStringList {QStringLiteral("Sí"), QStringLiteral("No"), QStringLiteral("Cancelar")}));
    }

    void contextoAyudaDelPadre()
    {
        QWidget ventana;
        auto *campo = new QLineEdit(&ventana);
        QCOMPARE(contextoAyuda(campo), 0);
        fijarContextoAyuda(&ventana, 1012);
        QCOMPARE(contextoAyuda(campo), 1012);
        fijarContextoAyuda(campo, 1014);
        QCOMPARE(contextoAyuda(campo), 1014);
    }
};

QTEST_MAIN(TstControlesBasicos)
#include "tst_controlesbasicos.moc"
