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
</context>
</TS>
