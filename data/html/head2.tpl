  </title>
  <link rel="stylesheet" href="album.css">
</head>
