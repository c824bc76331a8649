// Saves a picture of the whole X screen as PNG: the screenshot tool's way of
// seeing the host and the module together without tools outside the build.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "uso: %s ARCHIVO.png\n", argv[0]);
        return 2;
    }
    QScreen *pantalla = QGuiApplication::primaryScreen();
    if (!pantalla) {
        std::fprintf(stderr, "no hay pantalla\n");
        return 1;
    }
    const QPixmap imagen = pantalla->grabWindow(0);
    if (imagen.isNull() || !imagen.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "no se pudo guardar %s\n", argv[1]);
        return 1;
    }
    return 0;
}
