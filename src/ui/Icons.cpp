// placeholder until the icons are written
