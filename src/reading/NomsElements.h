#pragma once
// Ce qu'est un élément pour les lecteurs de flux : le vocabulaire auquel il appartient (RSS,
// Dublin Core, module content, Atom) et son nom local. Les règles des lecteurs ne comparent
// jamais un nom écrit : elles demandent ici si un élément est, par exemple, « entry » d'Atom.
// C'est donc le seul endroit qui sait comment un document désigne ses éléments.
//
// Un élément dont l'espace de noms est déclaré se reconnaît à cet espace et à son nom local,
// quel que soit son préfixe : « c:encoded » sous l'espace du module content en est, un
// « content:encoded » d'un autre espace n'en est pas. Sans préfixe, un élément d'un espace
// qu'aucun lecteur ne lit reste du RSS dans un flux RSS (certains flux RSS 2.0 se donnent un
// espace par défaut). Un élément sans espace de noms (préfixe non déclaré, courant dans les flux
// RSS) se reconnaît à son nom écrit, comme avant : sans préfixe pour RSS, « dc: » pour Dublin
// Core, « content: » pour le module content. Dans un flux Atom, l'espace de noms de la racine,
// ou son préfixe quand elle n'en a pas, désigne Atom.

#include <QDomElement>
#include <QLatin1String>
#include <QString>
#include <QStringView>

enum class Vocabulaire { Rss, DublinCore, ModuleContenu, Atom, Autre };

// Le nom d'un élément tel que les règles le voient.
class NomElement
{
public:
    NomElement() = default;
    NomElement(QString ecrit, qsizetype debutLocal, Vocabulaire vocabulaire)
        : m_ecrit(std::move(ecrit)), m_debutLocal(debutLocal), m_vocabulaire(vocabulaire)
    {
    }

    Vocabulaire vocabulaire() const { return m_vocabulaire; }
    QStringView local() const { return QStringView(m_ecrit).sliced(m_debutLocal); }
    bool est(Vocabulaire vocabulaire, QLatin1String local) const
    {
        return m_vocabulaire == vocabulaire && this->local() == local;
    }

private:
    QString m_ecrit;
    qsizetype m_debutLocal = 0;
    Vocabulaire m_vocabulaire = Vocabulaire::Autre;
};

// Les noms d'un document, relevés une fois sur sa racine.
class NomsElements
{
public:
    explicit NomsElements(const QDomElement &racine);

    // Vrai quand la racine est celle d'un flux Atom : un élément nommé « feed », ou un élément
    // de l'espace de noms d'Atom 1.0 ou 0.3, quel que soit son préfixe.
    bool atom() const { return m_atom; }
    // Vrai pour un flux Atom 0.3.
    bool atom03() const { return m_atom03; }

    // Le nom d'un nœud ; Autre pour ce qui n'est pas un élément.
    NomElement nom(const QDomNode &noeud) const;
    bool est(const QDomNode &noeud, Vocabulaire vocabulaire, QLatin1String local) const
    {
        return nom(noeud).est(vocabulaire, local);
    }

private:
    QString m_prefixeAtom;
    QString m_espaceAtom; // l'espace de noms de la racine d'un flux Atom
    bool m_atom = false;
    bool m_atom03 = false;
};
