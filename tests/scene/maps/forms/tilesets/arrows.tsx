<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="arrows" tilewidth="16" tileheight="16" tilecount="4" columns="2">
 <image source="../arrow.png" width="32" height="32"/>
</tileset>
