#include <QApplication>
#include <QDir>

#include "platform/instancia_unica.h"
#include "platform/perfil_ini.h"
#include "platform/puerto_conmutado.h"
#include "platform/reloj_real.h"
#include "platform/ui/ayuda_visor.h"
#include "platform/ui/dialogos_qt.h"
#include "platform/ui/ventanas.h"
#include "shell/arranque.h"
#include "shell/ui/fondo.h"

using namespace aq;

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Instancia_Unica instancia;
    if (instancia.Otra_Copia_En_Marcha()) return 0;
    Preparar_Aplicacion();
    Vestir_Aplicacion();

    Estado estado;
    estado.Linea_Comandos = app.arguments().mid(1).join(' ');
    Reloj_Real reloj;
    Perfil_Ini perfil;
    Puerto_Conmutado puerto(perfil, reloj);
    Dialogos_Qt dialogos;
    dialogos.Fijar_Titulo(Titulo_Aplicacion);
    Fondo* fondo_visible = nullptr;
    // The manual opens as one more window inside the main window.
    Ayuda_Visor ayuda([&](QWidget* visor) {
        if (fondo_visible)
            fondo_visible->Mostrar_Hija(visor);
        else
            visor->show();
    });
    Contexto_Ventanas ctx{{estado, puerto, reloj, perfil}, dialogos, ayuda};

    QList<Aviso_Ajustes> avisos;
    const bool primera_vez = Leer_Configuracion(ctx, QDir::currentPath(), &avisos);
    for (const Aviso_Ajustes& a : avisos)
        dialogos.MsgBox(a.texto, a.icono, Botones::Aceptar, a.titulo);
    Fondo fondo(ctx);
    dialogos.Fijar_Padre(&fondo);
    fondo_visible = &fondo;
    fondo.show();
    fondo.Form_Load();
    if (primera_vez && !fondo.Abrir_Opciones()) return 0;
    return app.exec();
}
