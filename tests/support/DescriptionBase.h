#pragma once
// Une description exacte et lisible du contenu d'une base (flux, informations, rubriques),
// pour comparer deux bases valeur par valeur avec QCOMPARE. Chaque caractère qui n'est pas
// un ASCII imprimable est écrit \uXXXX, et la barre oblique inverse \\, de sorte que deux
// bases différentes ont toujours deux descriptions différentes.

#include "model/TFlux.h"
#include "model/TRubrique.h"

#include <QList>
#include <QStringList>

QString texteLisible(const QString &texte);
QStringList decrireBase(const QList<PFlux> &flux, const QList<PRubrique> &rubriques);
