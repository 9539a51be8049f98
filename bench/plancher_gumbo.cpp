// Le plancher du HTML des descriptions : l'analyse nue d'un flux par QDomDocument::setContent,
// puis gumbo seul (options par défaut, fragment lu dans un « div ») sur le texte de chaque élément
// du nom donné qui porte une balise, comme le lecteur les confie à gumbo. Rien d'autre : ni
// budget, ni parcours de l'arbre obtenu, ni réécriture. Un exécutable à part qui ne lie que Qt
// (Core, Xml) et gumbo.
//   plancher_gumbo FICHIER ELEMENT [NOMBRE]
// NOMBRE : les NOMBRE premiers éléments seulement (ceux qu'une page bornée écrit). Écrit deux
// lignes : « setContent MS » et « gumbo MS », en temps processeur du fil.

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <climits>
#include <cstdio>
#include <ctime>
#include <gumbo.h>
#include <vector>

namespace {

double maintenant()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 3)
        return 2;
    QFile fichier(QString::fromLocal8Bit(argv[1]));
    if (!fichier.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray octets = fichier.readAll();
    const int nombre = argc > 3 ? atoi(argv[3]) : INT_MAX;

    double debut = maintenant();
    QDomDocument document;
    if (!document.setContent(octets, false))
        return 1;
    const double arbre = maintenant() - debut;

    std::vector<QByteArray> fragments;
    const QDomNodeList elements = document.elementsByTagName(QString::fromLocal8Bit(argv[2]));
    for (int i = 0; i < elements.size() && int(fragments.size()) < nombre; ++i) {
        const QString texte = elements.at(i).toElement().text();
        if (texte.contains(u'<'))
            fragments.push_back(texte.toUtf8());
    }
    debut = maintenant();
    for (const QByteArray &fragment : fragments) {
        GumboOptions options = kGumboDefaultOptions;
        options.fragment_context = GUMBO_TAG_DIV;
        GumboOutput *sortie = gumbo_parse_with_options(&options, fragment.constData(), size_t(fragment.size()));
        gumbo_destroy_output(&options, sortie);
    }
    const double html = maintenant() - debut;
    std::printf("setContent %.3f\ngumbo %.3f\n", arbre, html);
    return 0;
}
