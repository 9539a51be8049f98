#pragma once
// Ce qu'est un élément pour les lecteurs de flux : le vocabulaire auquel il appartient (RSS,
// Dublin Core, module content, Atom) et son nom local. Les règles des lecteurs ne comparent
// jamais un nom écrit : elles demandent ici si un élément est, par exemple, « entry » d'Atom.
// C'est donc le seul endroit qui sait comment un document désigne ses éléments.
//
// Un élément se reconnaît à son nom écrit : sans préfixe pour RSS, « dc: » pour Dublin Core,
// « content: » pour le module content ; dans un flux Atom, le préfixe de la racine (aucun, le
// plus souvent) désigne Atom.

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
    bool m_atom = false;
    bool m_atom03 = false;
};
