#pragma once
#include <QStringList>

// Each returns the process exit status; `args` are the words after the command name.
int Comando_Expandir(const QStringList& args);
int Comando_Verificar(const QStringList& args);

// Runs before any application object exists: it makes its own, with a platform for pictures.
int Comando_Grafico(int argc, char** argv);
int Comando_Archivo(const QStringList& args);
