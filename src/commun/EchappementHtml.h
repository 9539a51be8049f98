#pragma once
// Un texte écrit en HTML tel qu'il est : « & », « < », « > » et « " » échappés, pour un contenu
// comme pour une valeur d'attribut entre guillemets.

#include <QString>
#include <QStringView>

void ajouterHtmlEchappe(QString &sortie, QStringView texte);
QString htmlEchappe(QStringView texte);
