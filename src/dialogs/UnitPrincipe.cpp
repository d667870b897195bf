#include "dialogs/UnitPrincipe.h"

TPrincipe* Principe = nullptr;

const std::vector<std::string>& PrincipeLines() {
    // The user guide as designed, blanks and spellings included: the leading
    // spaces centre the heading in the box.
    static const std::vector<std::string> lines = {
        "     ",
        "                          PRINCIPE DE FONCTIONNEMENT",
        "                                   ===================",
        "",
        "  Cliquer droit sur ce fichier Orbitashell.exe,  puis",
        "  afin d'obtenir les droits requis d'administrateur ; cliquez  sur ",
        "  \"Exécuter en tant qu'administrateur\".",
        "",
        "  Il existe deux variantes de fonctionnement :",
        "  1. Taper directement votre ligne de commande ; puis \"Lancer\".",
        "  2. Choisir une commande dans les listes ; puis \"Lancer\".",
        "",
        "  Suivant les systémes d'exploitations, les commandes peuvent ne",
        "  pas fonctionner, ou bien ne pas pointer sur un même endroit donné.",
        "",
        "  La commande virtuelle Edit+ est ajoutée depuis la version 2.1.0.",
        "  Cette dernière permet de collecter dans un simple fichier texte,",
        "  toutes les écritures qui seront récoltées sous fenêtrage CMD.",
        "",
        "  MISE EN GARDE, SI VOUS HÉSITEZ À LANCER TELLE",
        "  OU TELLE COMMANDE : ABSTENEZ-VOUS !",
        "",
        "  Nota : la clé \"/K\" est automatiquemnt ajoutée à chaque commande,",
        "  sauf aux commandes ne nécessitant aucun fenêtrage MS-DOS®",
        "  visible.",
        "",
        "  Des tags ajoutés en fin de certaines lignes d'informations",
        "  sous crochets désignent des commandes spécifiques à :",
        "         [X] = XP®",
        "         [V] = Vista®",
        "         [S] = Seven®",
        "         [.] = ...",
        "          ",
    };
    return lines;
}

TPrincipe::TPrincipe(TComponent* owner)
    : TTextDialog(owner, "Principe", "Principe", PrincipeLines()) {}
