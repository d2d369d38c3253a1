<!DOCTYPE html>
<html lang="cs">
<head>
  <meta charset="windows-1250">
  <meta name="generator" content="Albisko">
  <title>
