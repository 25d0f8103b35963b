<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name>Localizable</name>
    <message>
        <source>Color Options</source>
        <translation>Options de couleur</translation>
    </message>
    <message>
        <source>Quick Color</source>
        <translation>Couleur rapide</translation>
    </message>
    <message>
        <source>Brightness</source>
        <translation>Luminosité</translation>
    </message>
    <message>
        <source>Color as Grayscale</source>
        <translation>Couleur en niveaux de gris</translation>
    </message>
    <message>
        <source>Color Separation</source>
        <translation>Séparation des couleurs</translation>
    </message>
    <message>
        <source>EconoMode</source>
        <translation>Mode économique</translation>
    </message>
    <message>
        <source>EdgeType</source>
        <translation>Type de contour</translation>
    </message>
    <message>
        <source>AutoTrapping</source>
        <translation>Recouvrement automatique</translation>
    </message>
    <message>
        <source>BlackOverprint</source>
        <translation>Surimpression du noir</translation>
    </message>
    <message>
        <source>Quick Color:</source>
        <translation>Couleur rapide :</translation>
    </message>
    <message>
        <source>Brightness:</source>
        <translation>Luminosité :</translation>
    </message>
    <message>
        <source>EdgeType:</source>
        <translation>Type de contour :</translation>
    </message>
    <message>
        <source>BlackOverprint:</source>
        <translation>Surimpression du noir :</translation>
    </message>
    <message>
        <source>Advanced Color Options</source>
        <translation>Options de couleur avancées…</translation>
    </message>
    <message>
        <source>RGB Source:</source>
        <translation>Source RVB :</translation>
    </message>
    <message>
        <source>RGB Intent:</source>
        <translation>Mode de rendu RVB :</translation>
    </message>
    <message>
        <source>RGB Gray Treatment:</source>
        <translation>Traitement des gris RVB :</translation>
    </message>
    <message>
        <source>Destination Profile:</source>
        <translation>Profil de destination :</translation>
    </message>
    <message>
        <source>Halftone:</source>
        <translation>Trame :</translation>
    </message>
    <message>
        <source>EdgeEnhance:</source>
        <translation>Amélioration des contours :</translation>
    </message>
    <message>
        <source>Simulation Profile:</source>
        <translation>Profil de simulation :</translation>
    </message>
    <message>
        <source>Match Paper Color:</source>
        <translation>Simuler la couleur du papier :</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment:</source>
        <translation>Traitement des gris CMJN :</translation>
    </message>
    <message>
        <source>Image</source>
        <translation>Image</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>Texte</translation>
    </message>
    <message>
        <source>Graphics</source>
        <translation>Graphiques</translation>
    </message>
    <message>
        <source>Simulation</source>
        <translation>Simulation</translation>
    </message>
    <message>
        <source>Management Profile</source>
        <translation>Gérer les profils…</translation>
    </message>
    <message>
        <source>Download Manager</source>
        <translation>Gestionnaire de téléchargement…</translation>
    </message>
    <message>
        <source>Hide Advanced Options</source>
        <translation>Masquer les options avancées</translation>
    </message>
    <message>
        <source>Image RGB Source</source>
        <translation>Source RVB (image)</translation>
    </message>
    <message>
        <source>Image RGB Intent</source>
        <translation>Mode de rendu RVB (image)</translation>
    </message>
    <message>
        <source>Image RGB Gray Treatment</source>
        <translation>Traitement des gris RVB (image)</translation>
    </message>
    <message>
        <source>Image Destination Profile</source>
        <translation>Profil de destination (image)</translation>
    </message>
    <message>
        <source>Image Halftone</source>
        <translation>Trame (image)</translation>
    </message>
    <message>
        <source>Image EdgeEnhance</source>
        <translation>Amélioration des contours (image)</translation>
    </message>
    <message>
        <source>Text RGB Source</source>
        <translation>Source RVB (texte)</translation>
    </message>
    <message>
        <source>Text RGB Intent</source>
        <translation>Mode de rendu RVB (texte)</translation>
    </message>
    <message>
        <source>Text RGB Gray Treatment</source>
        <translation>Traitement des gris RVB (texte)</translation>
    </message>
    <message>
        <source>Text Destination Profile</source>
        <translation>Profil de destination (texte)</translation>
    </message>
    <message>
        <source>Text Halftone</source>
        <translation>Trame (texte)</translation>
    </message>
    <message>
        <source>Text EdgeEnhance</source>
        <translation>Amélioration des contours (texte)</translation>
    </message>
    <message>
        <source>Graphics RGB Source</source>
        <translation>Source RVB (graphiques)</translation>
    </message>
    <message>
        <source>Graphics RGB Intent</source>
        <translation>Mode de rendu RVB (graphiques)</translation>
    </message>
    <message>
        <source>Graphics RGB Gray Treatment</source>
        <translation>Traitement des gris RVB (graphiques)</translation>
    </message>
    <message>
        <source>Graphics Destination Profile</source>
        <translation>Profil de destination (graphiques)</translation>
    </message>
    <message>
        <source>Graphics Halftone</source>
        <translation>Trame (graphiques)</translation>
    </message>
    <message>
        <source>Graphics EdgeEnhance</source>
        <translation>Amélioration des contours (graphiques)</translation>
    </message>
    <message>
        <source>Simulation Profile</source>
        <translation>Profil de simulation</translation>
    </message>
    <message>
        <source>Match Paper Color</source>
        <translation>Simuler la couleur du papier</translation>
    </message>
    <message>
        <source>CMYK Gray Treatment</source>
        <translation>Traitement des gris CMJN</translation>
    </message>
    <message>
        <source>Disk</source>
        <translation>Disque</translation>
    </message>
    <message>
        <source>Card</source>
        <translation>Carte mémoire</translation>
    </message>
    <message>
        <source>ProfileTitle</source>
        <translation>Gestion des profils</translation>
    </message>
    <message>
        <source>Unavailable while %1 is on</source>
        <translation>Indisponible lorsque « %1 » est activé</translation>
    </message>
    <message>
        <source>Unavailable while %1 is off</source>
        <translation>Indisponible lorsque « %1 » est désactivé</translation>
    </message>
    <message>
        <source>Unavailable while %1 is %2</source>
        <translation>Indisponible lorsque « %1 » est « %2 »</translation>
    </message>
    <message>
        <source>Available with the %2 %1 only</source>
        <translation>Disponible uniquement lorsque « %1 » est « %2 »</translation>
    </message>
    <message>
        <source>Profile Management</source>
        <translation>Gestion des profils</translation>
    </message>
    <message>
        <source>Profiles:</source>
        <translation>Profils :</translation>
    </message>
    <message>
        <source>RGB Source Profiles</source>
        <translation>Profils source RVB</translation>
    </message>
    <message>
        <source>Simulation Profiles</source>
        <translation>Profils de simulation</translation>
    </message>
    <message>
        <source>Destination Profiles</source>
        <translation>Profils de destination</translation>
    </message>
    <message>
        <source>Profile List</source>
        <translation>Liste des profils</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>File Name:</source>
        <translation>Nom de fichier :</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Parcourir…</translation>
    </message>
    <message>
        <source>Profile Name:</source>
        <translation>Nom du profil :</translation>
    </message>
    <message>
        <source>Location:</source>
        <translation>Emplacement :</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Appliquer</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>In Menu</source>
        <translation>Dans le menu</translation>
    </message>
    <message>
        <source>File Name</source>
        <translation>Nom de fichier</translation>
    </message>
    <message>
        <source>Profile Name</source>
        <translation>Nom du profil</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Emplacement</translation>
    </message>
    <message>
        <source>The printer's PPD does not offer this option</source>
        <translation>Le PPD de l’imprimante ne propose pas cette option</translation>
    </message>
    <message>
        <source>The profile service is not available</source>
        <translation>Le service des profils n’est pas disponible</translation>
    </message>
    <message>
        <source>Cancel Entry</source>
        <translation>Annuler l’entrée</translation>
    </message>
    <message>
        <source>Darker</source>
        <translation>Plus foncé</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Lighter</source>
        <translation>Plus clair</translation>
    </message>
    <message>
        <source>Content Type</source>
        <translation>Type de contenu</translation>
    </message>
</context>
</TS>
