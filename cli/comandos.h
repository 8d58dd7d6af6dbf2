#pragma once
#include <QStringList>

// Each returns the process exit status; `args` are the words after the command name.
int Comando_Expandir(const QStringList& args);
int Comando_Verificar(const QStringList& args);
int Comando_Archivo(const QStringList& args);
