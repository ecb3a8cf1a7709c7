<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- Swedish for the parts of Qt 6 that Debian's Swedish Qt catalogue (a Qt 4 one) lacks or gets
     wrong. Loaded after it, so these entries win and it answers the rest. Contexts and source
     texts are those of Qt 6.4. -->
<TS version="2.1" language="sv_SE" sourcelanguage="en">
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Spara</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Spara alla</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öppna</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Ja</translation>
    </message>
    <message>
        <source>Yes to &amp;All</source>
        <translation>Ja till &amp;alla</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;Nej</translation>
    </message>
    <message>
        <source>N&amp;o to All</source>
        <translation>N&amp;ej till alla</translation>
    </message>
    <message>
        <source>Abort</source>
        <translation>Avbryt</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Försök igen</translation>
    </message>
    <message>
        <source>Ignore</source>
        <translation>Ignorera</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Stäng</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Avbryt</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Förkasta</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hjälp</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Verkställ</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Återställ</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Återställ standardvärden</translation>
    </message>
</context>
<context>
    <name>QGnomeTheme</name>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Spara</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Avbryt</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Stäng</translation>
    </message>
    <message>
        <source>Close without Saving</source>
        <translation>Stäng utan att spara</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>Look in:</source>
        <translation>Sök i:</translation>
    </message>
    <message>
        <source>Files of type:</source>
        <translation>Filtyp:</translation>
    </message>
    <message>
        <source>&amp;Choose</source>
        <translation>&amp;Välj</translation>
    </message>
    <message>
        <source>&amp;New Folder</source>
        <translation>&amp;Ny mapp</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alla filer (*)</translation>
    </message>
    <message>
        <source>Are you sure you want to delete &apos;%1&apos;?</source>
        <translation>Vill du verkligen ta bort ”%1”?</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is write protected.
Do you want to delete it anyway?</source>
        <translation>”%1” är skrivskyddad.
Vill du ta bort den ändå?</translation>
    </message>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 finns redan.
Vill du ersätta den?</translation>
    </message>
    <message>
        <source>%1
Directory not found.
Please verify the correct directory name was given.</source>
        <translation>%1
Mappen hittades inte.
Kontrollera att mappnamnet är rätt.</translation>
    </message>
    <message>
        <source>%1
File not found.
Please verify the correct file name was given.</source>
        <translation>%1
Filen hittades inte.
Kontrollera att filnamnet är rätt.</translation>
    </message>
    <message>
        <source>Could not delete directory.</source>
        <translation>Det gick inte att ta bort mappen.</translation>
    </message>
    <message>
        <source>Directories</source>
        <translation>Mappar</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Mapp:</translation>
    </message>
    <message>
        <source>Find Directory</source>
        <translation>Välj mapp</translation>
    </message>
    <message>
        <source>Detail View</source>
        <translation>Detaljvy</translation>
    </message>
    <message>
        <source>Change to detail view mode</source>
        <translation>Byt till detaljvy</translation>
    </message>
    <message>
        <source>Change to list view mode</source>
        <translation>Byt till listvy</translation>
    </message>
    <message>
        <source>Parent Directory</source>
        <translation>Upp en nivå</translation>
    </message>
    <message>
        <source>Go to the parent directory</source>
        <translation>Gå upp en nivå</translation>
    </message>
    <message>
        <source>Go back</source>
        <translation>Gå tillbaka</translation>
    </message>
    <message>
        <source>Go forward</source>
        <translation>Gå framåt</translation>
    </message>
    <message>
        <source>Create a New Folder</source>
        <translation>Skapa en ny mapp</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Ta bort</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Ta bort</translation>
    </message>
    <message>
        <source>Files</source>
        <translation>Filer</translation>
    </message>
    <message>
        <source>List of places and bookmarks</source>
        <translation>Platser och bokmärken</translation>
    </message>
    <message>
        <source>Recent Places</source>
        <translation>Senaste platser</translation>
    </message>
    <message>
        <source>Sidebar</source>
        <translation>Sidopanel</translation>
    </message>
    <!-- Followed by a column's name in the header's menu. -->
    <message>
        <source>Show </source>
        <translation>Visa </translation>
    </message>
</context>
<context>
    <name>QFileSystemModel</name>
    <message>
        <source>Computer</source>
        <translation>Dator</translation>
    </message>
    <message>
        <source>Kind</source>
        <translation>Typ</translation>
    </message>
</context>
<context>
    <name>QAbstractFileIconProvider</name>
    <message>
        <source>Drive</source>
        <translation>Enhet</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fil</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Mapp</translation>
    </message>
    <message>
        <source>File Folder</source>
        <translation>Mapp</translation>
    </message>
    <message>
        <source>Shortcut</source>
        <translation>Genväg</translation>
    </message>
    <message>
        <source>Alias</source>
        <translation>Alias</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Okänd</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>Select All</source>
        <translation>Markera allt</translation>
    </message>
</context>
<context>
    <name>QWidgetTextControl</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Ångra</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Gör om</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>Klipp &amp;ut</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiera</translation>
    </message>
    <message>
        <source>Copy &amp;Link Location</source>
        <translation>Kopiera &amp;länkadress</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>Klistra &amp;in</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Ta bort</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Markera allt</translation>
    </message>
</context>
<context>
    <name>QAbstractSpinBox</name>
    <message>
        <source>&amp;Select All</source>
        <translation>&amp;Markera allt</translation>
    </message>
</context>
<context>
    <name>QInputDialog</name>
    <message>
        <source>Enter a value:</source>
        <translation>Ange ett värde:</translation>
    </message>
</context>
<context>
    <name>QColorDialog</name>
    <message>
        <source>Select Color</source>
        <translation>Välj färg</translation>
    </message>
    <message>
        <source>&amp;Pick Screen Color</source>
        <translation>&amp;Välj färg från skärmen</translation>
    </message>
    <message>
        <source>Cursor at %1, %2
Press ESC to cancel</source>
        <translation>Markören vid %1, %2
Tryck Esc för att avbryta</translation>
    </message>
    <message>
        <source>&amp;HTML:</source>
        <translation>&amp;HTML:</translation>
    </message>
</context>
<context>
    <name>QMessageBox</name>
    <message>
        <source>Hide Details...</source>
        <translation>Dölj detaljer...</translation>
    </message>
</context>
<context>
    <name>QComboBox</name>
    <message>
        <source>Open the combo box selection popup</source>
        <translation>Öppnar listan att välja i</translation>
    </message>
</context>
<context>
    <name>QAccessibleActionInterface</name>
    <message>
        <source>Press</source>
        <translation>Tryck</translation>
    </message>
    <message>
        <source>Increase</source>
        <translation>Öka</translation>
    </message>
    <message>
        <source>Decrease</source>
        <translation>Minska</translation>
    </message>
    <message>
        <source>ShowMenu</source>
        <translation>Visa meny</translation>
    </message>
    <message>
        <source>SetFocus</source>
        <translation>Ge fokus</translation>
    </message>
    <message>
        <source>Toggle</source>
        <translation>Växla</translation>
    </message>
    <message>
        <source>Scroll Left</source>
        <translation>Rulla åt vänster</translation>
    </message>
    <message>
        <source>Scroll Right</source>
        <translation>Rulla åt höger</translation>
    </message>
    <message>
        <source>Scroll Up</source>
        <translation>Rulla uppåt</translation>
    </message>
    <message>
        <source>Scroll Down</source>
        <translation>Rulla nedåt</translation>
    </message>
    <message>
        <source>Previous Page</source>
        <translation>Föregående sida</translation>
    </message>
    <message>
        <source>Next Page</source>
        <translation>Nästa sida</translation>
    </message>
    <message>
        <source>Triggers the action</source>
        <translation>Utför åtgärden</translation>
    </message>
    <message>
        <source>Increase the value</source>
        <translation>Ökar värdet</translation>
    </message>
    <message>
        <source>Decrease the value</source>
        <translation>Minskar värdet</translation>
    </message>
    <message>
        <source>Shows the menu</source>
        <translation>Visar menyn</translation>
    </message>
    <message>
        <source>Sets the focus</source>
        <translation>Ger fokus</translation>
    </message>
    <message>
        <source>Toggles the state</source>
        <translation>Växlar läget</translation>
    </message>
    <message>
        <source>Scrolls to the left</source>
        <translation>Rullar åt vänster</translation>
    </message>
    <message>
        <source>Scrolls to the right</source>
        <translation>Rullar åt höger</translation>
    </message>
    <message>
        <source>Scrolls up</source>
        <translation>Rullar uppåt</translation>
    </message>
    <message>
        <source>Scrolls down</source>
        <translation>Rullar nedåt</translation>
    </message>
    <message>
        <source>Goes back a page</source>
        <translation>Går en sida bakåt</translation>
    </message>
    <message>
        <source>Goes to the next page</source>
        <translation>Går till nästa sida</translation>
    </message>
</context>
</TS>
