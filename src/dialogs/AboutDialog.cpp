// placeholder until the dialog is written
