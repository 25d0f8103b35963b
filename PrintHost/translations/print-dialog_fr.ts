<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>print-dialog</name>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Annuler</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>Imprimer</translation>
    </message>
    <message>
        <source>the panel could not save its values: %1</source>
        <translation>le panneau n’a pas pu enregistrer ses valeurs : %1</translation>
    </message>
    <message>
        <source>cannot write the ticket: %1</source>
        <translation>impossible d’écrire le ticket : %1</translation>
    </message>
    <message>
        <source>the panel cancelled printing</source>
        <translation>le panneau a annulé l’impression</translation>
    </message>
    <message>
        <source>cannot write the test page: %1</source>
        <translation>impossible d’écrire la page de test : %1</translation>
    </message>
    <message>
        <source>This printer has no Color Options.</source>
        <translation>Cette imprimante n’a pas d’options de couleur.</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>&amp;Ouvrir</translation>
    </message>
    <message>
        <source>Choose the printer whose color options you want to set:</source>
        <translation>Choisissez l'imprimante dont vous voulez régler les options de couleur :</translation>
    </message>
    <message>
        <source>No printer uses the ZR-K5100 driver yet. Add the printer in the desktop's printer settings and choose the driver “Ostra ZR-K5100 PS”, or as root:

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

with the DRIVER that “lpinfo -m | grep ZR-K5100” names. Then open ZR-K5100 Color Options again.</source>
        <translation>Aucune imprimante n'utilise encore le pilote ZR-K5100. Ajoutez l'imprimante dans les paramètres d'imprimante du bureau et choisissez le pilote « Ostra ZR-K5100 PS », ou en tant que root :

    lpadmin -p NAME -E -v DEVICE-URI -m DRIVER

avec le DRIVER que donne « lpinfo -m | grep ZR-K5100 ». Ouvrez ensuite de nouveau Options de couleur ZR-K5100.</translation>
    </message>
    <message>
        <source>Printers</source>
        <translation>Imprimantes</translation>
    </message>
    <message>
        <source>The printing system (CUPS) cannot be asked for its printers: %1</source>
        <translation>Le système d'impression (CUPS) ne peut pas être interrogé sur ses imprimantes : %1</translation>
    </message>
    <message>
        <source>ZR-K5100 Color Options</source>
        <translation>Options de couleur ZR-K5100</translation>
    </message>
    <message>
        <source>OK keeps these choices as the defaults of the printer %1 for every program that prints to it.</source>
        <translation>OK conserve ces choix comme réglages par défaut de l'imprimante %1 pour tous les programmes qui y impriment.</translation>
    </message>
</context>
</TS>
